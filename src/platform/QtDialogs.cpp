#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

QString boxText(const QString &text)
{
    QString t = text;
    t.replace(u"\r\n"_s, u"\n"_s);
    t.replace(u'\r', u'\n');
    return t;
}

QString boxTitle()
{
    return QApplication::applicationDisplayName();
}

QFileDialog *makeFileDialog(const Dialogs::FileRequest &r, QFileDialog::AcceptMode mode)
{
    auto *dlg = new QFileDialog(QApplication::activeWindow(), r.title, r.initialDir, r.filter);
    dlg->setAcceptMode(mode);
    dlg->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
    if (!r.defaultSuffix.isEmpty())
        dlg->setDefaultSuffix(r.defaultSuffix);
    if (!r.fileName.isEmpty())
        dlg->selectFile(r.fileName);
    if (mode == QFileDialog::AcceptSave && !r.confirmOverwrite)
        dlg->setOption(QFileDialog::DontConfirmOverwrite);
    return dlg;
}

QString runFileDialog(QFileDialog *dlg)
{
    QString chosen;
    if (dlg->exec() == QDialog::Accepted && !dlg->selectedFiles().isEmpty())
        chosen = dlg->selectedFiles().constFirst();
    delete dlg;
    return chosen;
}

} // namespace

void QtDialogs::message(const QString &text)
{
    QMessageBox::information(QApplication::activeWindow(), boxTitle(), boxText(text));
}

bool QtDialogs::confirm(const QString &text)
{
    return QMessageBox::warning(QApplication::activeWindow(), boxTitle(), boxText(text),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::question(const QString &text)
{
    QMessageBox box(QMessageBox::Information, boxTitle(), boxText(text),
                    QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::error(const QString &text)
{
    QMessageBox::critical(QApplication::activeWindow(), boxTitle(), boxText(text));
}

QString QtDialogs::inputBox(const QString &caption, const QString &prompt,
                            const QString &defaultText)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                                 QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : defaultText;
}

QString QtDialogs::openFile(const FileRequest &request)
{
    return runFileDialog(makeFileDialog(request, QFileDialog::AcceptOpen));
}

QString QtDialogs::saveFile(const FileRequest &request)
{
    return runFileDialog(makeFileDialog(request, QFileDialog::AcceptSave));
}
