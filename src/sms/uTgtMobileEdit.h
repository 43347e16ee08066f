#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The manual recipient editor: the list as text, exchanged through tmp.txt.
class TfrmTgtMobileEdit : public QDialog
{
    Q_OBJECT
public:
    // Loads file (tmp.txt in the application folder) into the memo if it exists.
    explicit TfrmTgtMobileEdit(const QString &file, QWidget *parent = nullptr);

    bool Cancelled = true;

    QPlainTextEdit *Memo1;
    QPushButton *cmdReg;
    QPushButton *cmdClose;

    void cmdRegClick();

private:
    QString m_file;
};

// Shows the editor on tmp.txt; true when the user saved.
bool EditTgtMobile();
