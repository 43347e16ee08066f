#pragma once

#include <QDateTime>
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class BirthdayPicker;
class DataSet;
class Command;

// The contact editor: one TLinker row, read by ID and written with one INSERT or UPDATE.
class TfrmEditALinker : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmEditALinker(QWidget *parent = nullptr);
    ~TfrmEditALinker() override;

    // Inputs, set by EditALinker before ReadyData.
    int ClassID = 0;
    int LinkerID = -1; // negative: a new contact
    // True until a save succeeds.
    bool Cancelled = true;

    bool ReadyData();
    bool SaveData();

    void cmdSaveClick();
    void cmdCancelClick();
    void dtBirthdayChange();
    void sbQQClick();
    // Enter moves on to the next field; in the memo only Ctrl+Enter does.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);

    // The birthday text the next save writes (yyyy-MM-dd).
    QString birthdayText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    void fillJobs();

    QLineEdit *EditName;
    QComboBox *cmbPos;
    QLineEdit *EditTele;
    QLineEdit *EditMobileCode;
    QLineEdit *EditElecHome;
    QLineEdit *EditFax;
    QLineEdit *EditQQ;
    QToolButton *sbQQ;
    QLineEdit *EditAL;
    QLineEdit *EditTB;
    QLineEdit *EditEMail;
    QLineEdit *EditZFB;
    BirthdayPicker *dtBirthday;
    QLineEdit *EditAddress;
    QLineEdit *EditFancy;
    QPlainTextEdit *EditDesp;
    QPushButton *cmdSave;
    QPushButton *cmdCancel;

    DataSet *dsQuery;
    Command *ADOCommand1;

    // The birthday as read; written back as it was unless the user touches the picker.
    QDate m_storedBirthday;
    bool m_birthdayTouched = false;
};

// Shows the editor for a new contact (LinkerID < 0, in category ClassID) or for the contact
// with that ID. True when a save succeeded.
bool EditALinker(int ClassID, int LinkerID);
