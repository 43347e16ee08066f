#include "contacts/uSelecctDepart.h"

#include "contacts/ContactColumns.h"
#include "contacts/ContactQueries.h"
#include "contacts/DataSetModel.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "platform/Dialogs.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmSelecctDepart::TfrmSelecctDepart(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmSelecctDepart"_s);
    setWindowTitle(u"选择分类"_s);
    dsDepart = new DataSet(DM->ADOLocal, this);
    m_model = new DataSetModel(dsDepart, categoryGridColumns(u"分类名称"_s, 200), this);

    auto *box = new QGroupBox(u"部门分类"_s, this);
    auto *boxLayout = new QVBoxLayout(box);
    DBGridEh2 = new QTableView(box);
    DBGridEh2->setObjectName(u"DBGridEh2"_s);
    DBGridEh2->setAccessibleName(u"部门分类"_s);
    m_model->attachView(DBGridEh2);
    DBGridEh2->horizontalHeader()->setStretchLastSection(true);
    DBGridEh2->installEventFilter(this);
    boxLayout->addWidget(DBGridEh2);

    cmdSelect = new QPushButton(u"选中(&S)"_s, this);
    cmdSelect->setObjectName(u"cmdSelect"_s);
    cmdSelect->setAccessibleName(u"选中"_s);
    cmdClose = new QPushButton(u"退出(&X)"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);
    cmdClose->setAccessibleName(u"退出"_s);
    for (QPushButton *b : {cmdSelect, cmdClose})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSelect);
    buttons->addWidget(cmdClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(box, 1);
    layout->addLayout(buttons);
    setFixedSize(300, 360);

    connect(cmdSelect, &QPushButton::clicked, this, &TfrmSelecctDepart::cmdSelectClick);
    connect(cmdClose, &QPushButton::clicked, this, &TfrmSelecctDepart::cmdCloseClick);
    connect(DBGridEh2, &QTableView::doubleClicked, this, &TfrmSelecctDepart::cmdSelectClick);
    Cancelled = true;
}

TfrmSelecctDepart::~TfrmSelecctDepart() = default;

bool TfrmSelecctDepart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGridEh2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGridEh2KeyDown(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmSelecctDepart::ReadyDepart()
{
    try {
        dsDepart->setCommandText(ContactSql::pickerCategoryList.toString());
        dsDepart->close();
        dsDepart->open();
        return true;
    } catch (const DbError &) {
        Dialogs::instance().message(u"读取数据发生错误！"_s);
        return false;
    }
}

void TfrmSelecctDepart::cmdSelectClick()
{
    if (!dsDepart->isOpen() || dsDepart->isEmpty() || dsDepart->recNo() < 0)
        return;
    SelectedID = int(dsDepart->asInteger(u"ID"_s));
    SelectedName = dsDepart->asString(u"TitleName"_s);
    Cancelled = false;
    close();
}

void TfrmSelecctDepart::cmdCloseClick()
{
    close();
}

void TfrmSelecctDepart::DBGridEh2KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        cmdSelectClick();
}

bool SelectDepart(int &ID, QString &TitleName)
{
    TfrmSelecctDepart picker;
    if (!picker.ReadyDepart())
        return false;
    picker.exec();
    ID = picker.SelectedID;
    TitleName = picker.SelectedName;
    return !picker.Cancelled;
}
