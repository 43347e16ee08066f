#include "contacts/uFilterSet.h"

#include "contacts/ContactQueries.h"
#include "contacts/uSelecctDepart.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmFilterset::TfrmFilterset(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmFilterset"_s);
    setWindowTitle(u"选择过滤条件"_s);

    EditToGoods = new QLineEdit(this);
    EditToGoods->setObjectName(u"EditToGoods"_s);
    EditToGoods->setReadOnly(true);
    QPalette info = EditToGoods->palette();
    info.setColor(QPalette::Base, info.color(QPalette::ToolTipBase));
    info.setColor(QPalette::Text, info.color(QPalette::ToolTipText));
    EditToGoods->setPalette(info);
    EditToGoods->installEventFilter(this);
    SpeedButton6 = new QToolButton(this);
    SpeedButton6->setObjectName(u"SpeedButton6"_s);
    SpeedButton6->setText(u"..."_s);
    SpeedButton6->setAutoRaise(true);
    SpeedButton6->setAccessibleName(u"选择分组"_s);
    SpeedButton6->setToolTip(u"选择分组"_s);
    EditName = new QLineEdit(this);
    EditName->setObjectName(u"EditName"_s);

    auto *grid = new QGridLayout;
    auto *groupLabel = new QLabel(u"联系人分组"_s, this);
    groupLabel->setBuddy(EditToGoods);
    EditToGoods->setAccessibleName(u"联系人分组"_s);
    grid->addWidget(groupLabel, 0, 0);
    auto *groupRow = new QHBoxLayout;
    groupRow->setSpacing(2);
    groupRow->addWidget(EditToGoods, 1);
    groupRow->addWidget(SpeedButton6);
    grid->addLayout(groupRow, 0, 1);
    auto *nameLabel = new QLabel(u"姓名包含"_s, this);
    nameLabel->setBuddy(EditName);
    EditName->setAccessibleName(u"姓名包含"_s);
    grid->addWidget(nameLabel, 1, 0);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(EditName, 1);
    nameRow->addWidget(new QLabel(u"(可以按拼音首字母)"_s, this));
    grid->addLayout(nameRow, 1, 1);

    Button1 = new QPushButton(u"确认(&E)"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setAccessibleName(u"确认"_s);
    Button2 = new QPushButton(u"取消(&X)"_s, this);
    Button2->setObjectName(u"Button2"_s);
    Button2->setAccessibleName(u"取消"_s);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(SpeedButton6, &QToolButton::clicked, this, &TfrmFilterset::SpeedButton6Click);
    connect(Button1, &QPushButton::clicked, this, &TfrmFilterset::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmFilterset::Button2Click);
    Cancelled = true;
    ClassID = -1;
    EditName->setFocus();
}

bool TfrmFilterset::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == EditToGoods && event->type() == QEvent::MouseButtonDblClick)
        SpeedButton6Click();
    return QDialog::eventFilter(watched, event);
}

void TfrmFilterset::SpeedButton6Click()
{
    int id = 0;
    QString name;
    if (SelectDepart(id, name)) {
        ClassID = id;
        EditToGoods->setText(name);
    }
}

void TfrmFilterset::Button1Click()
{
    FilterText =
        ContactSql::filterFragment(!EditToGoods->text().isEmpty(), ClassID, EditName->text());
    Cancelled = false;
    close();
}

void TfrmFilterset::Button2Click()
{
    close();
}

bool SelectFilter(QString &FilterText)
{
    TfrmFilterset dialog;
    dialog.exec();
    FilterText = dialog.FilterText;
    return !dialog.Cancelled;
}
