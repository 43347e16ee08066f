#include "sms/uTgtMobileEdit.h"

#include "sms/ListFiles.h"

#include "common/FileError.h"
#include "common/GbkCodec.h"
#include "common/uPub.h"
#include "platform/Dialogs.h"

#include <QFile>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmTgtMobileEdit::TfrmTgtMobileEdit(const QString &file, QWidget *parent)
    : QDialog(parent), m_file(file)
{
    setObjectName(u"frmTgtMobileEdit"_s);
    setWindowTitle(u"编辑目标发送短信序列"_s);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(323, 370);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setAccessibleName(u"目标发送短信序列"_s);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    cmdReg = new QPushButton(u"保存(&S)"_s, this);
    cmdReg->setObjectName(u"cmdReg"_s);
    cmdClose = new QPushButton(u"取消(&X)"_s, this);
    cmdClose->setObjectName(u"cmdClose"_s);
    cmdReg->setAutoDefault(false);
    cmdClose->setAutoDefault(false);
    connect(cmdReg, &QPushButton::clicked, this, &TfrmTgtMobileEdit::cmdRegClick);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdReg);
    buttons->addWidget(cmdClose);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Memo1);
    top->addLayout(buttons);

    if (QFile::exists(m_file)) {
        try {
            Memo1->setPlainText(ListFiles::readText(m_file));
        } catch (const FileError &) {
            // An unreadable exchange file leaves the memo empty.
        }
    }
    Memo1->setFocus();
}

void TfrmTgtMobileEdit::cmdRegClick()
{
    // The list is read back from the file, so a failed write would silently lose the edit.
    const QString text = Memo1->toPlainText();
    const QString bad = Gbk::unencodable(text);
    if (!bad.isEmpty()) {
        Dialogs::instance().message(u"号码列表含有无法保存的字符："_s + bad);
        return;
    }
    try {
        ListFiles::writeText(m_file, text);
    } catch (const FileError &) {
        Dialogs::instance().message(u"无法保存号码列表到文件 tmp.txt！"_s);
        return;
    }
    Cancelled = false;
    accept();
}

bool EditTgtMobile()
{
    TfrmTgtMobileEdit dlg(AppPath + u"tmp.txt"_s);
    dlg.exec();
    return !dlg.Cancelled;
}
