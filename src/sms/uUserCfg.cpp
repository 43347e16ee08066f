#include "sms/uUserCfg.h"

#include "common/GbkCodec.h"
#include "platform/Dialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmUserCfg::TfrmUserCfg(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmUserCfg"_s);
    setWindowTitle(u"配置我的短信帐户信息"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *form = new QFormLayout;
    auto edit = [&](const QString &name, const QString &label) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setAccessibleName(label);
        auto *l = new QLabel(label, this);
        l->setBuddy(e);
        form->addRow(l, e);
        return e;
    };
    EditEntID = edit(u"EditEntID"_s, u"企业ID"_s);
    EditUserName = edit(u"EditUserName"_s, u"用户名称"_s);
    EditPassworrd = edit(u"EditPassworrd"_s, u"登陆密码"_s);
    EditPassworrd->setEchoMode(QLineEdit::Password);

    cmdEnsure = new QPushButton(u"保存(&S)"_s, this);
    cmdEnsure->setObjectName(u"cmdEnsure"_s);
    cmdCancel = new QPushButton(u"取消(&X)"_s, this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdEnsure->setDefault(true);
    connect(cmdEnsure, &QPushButton::clicked, this, &TfrmUserCfg::cmdEnsureClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects too

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdEnsure);
    buttons->addWidget(cmdCancel);
    auto *top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    EditEntID->setFocus();
}

void TfrmUserCfg::cmdEnsureClick()
{
    const struct
    {
        QLineEdit *edit;
        const char16_t *empty;
        const char16_t *label;
    } fields[] = {
        {EditEntID, u"请输入企业ID！", u"企业ID"},
        {EditUserName, u"请输用户名！", u"用户名称"},
        {EditPassworrd, u"请输入登陆密码！", u"登陆密码"},
    };
    for (const auto &f : fields) {
        if (f.edit->text().isEmpty()) {
            Dialogs::instance().message(QString::fromUtf16(f.empty));
            f.edit->setFocus();
            return;
        }
    }
    // SMS.ini holds GBK text: refuse what it cannot store instead of changing it.
    for (const auto &f : fields) {
        const QString bad = Gbk::unencodable(f.edit->text());
        if (!bad.isEmpty()) {
            Dialogs::instance().message(QString::fromUtf16(f.label) + u"含有无法保存的字符："_s +
                                        bad);
            f.edit->setFocus();
            return;
        }
    }
    Cancelled = false;
    accept();
}

bool EditUserCfg(QString &entId, QString &userName, QString &password)
{
    TfrmUserCfg dlg;
    dlg.EditEntID->setText(entId);
    dlg.EditUserName->setText(userName);
    dlg.EditPassworrd->setText(password);
    dlg.exec();
    entId = dlg.EditEntID->text();
    userName = dlg.EditUserName->text();
    password = dlg.EditPassworrd->text();
    return !dlg.Cancelled;
}
