#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The account dialog: enterprise ID, user name and password.
class TfrmUserCfg : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmUserCfg(QWidget *parent = nullptr);

    bool Cancelled = true;

    QLineEdit *EditEntID;
    QLineEdit *EditUserName;
    QLineEdit *EditPassworrd;
    QPushButton *cmdEnsure;
    QPushButton *cmdCancel;

    void cmdEnsureClick();
};

// Shows the account dialog with the three texts; copies the edits back on both outcomes.
// True when the user saved.
bool EditUserCfg(QString &entId, QString &userName, QString &password);
