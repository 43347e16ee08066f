#pragma once

#include "sms/Gateway.h"
#include "sms/SendLoop.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class AccountPage;
class DataSet;
class GatewayWorker;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class RecipientModel;

// Opens a new group SMS window, non-modal and without owner; it frees itself when closed.
// Every call opens another window. Returns true.
bool OpenSMSSend();

// As OpenSMSSend, then replaces the recipient list by the one given number (unchecked).
bool OpenSMSSendTo(const QString &mobile);

// The group SMS window: account, recipient list, message and the send loop.
class TfrmSMSSend : public QWidget, private SendLoop::Host
{
    Q_OBJECT
public:
    explicit TfrmSMSSend(QWidget *parent = nullptr);
    ~TfrmSMSSend() override;

    // Account
    QLineEdit *EditEntID;
    QLineEdit *EditUsername;
    QLineEdit *EdituserPass;
    QLabel *Label28; // balance, left panel
    QLabel *Label13; // balance, recharge tab
    QPushButton *Button1, *Button2, *Button3, *Button12, *Button13;
    // Recipient list
    QListView *ListBox1;
    RecipientModel *listModel;
    QPushButton *Button4, *Button5, *Button6, *Button7, *Button16;
    QMenu *PopupMenu1;
    QAction *N1;
    // Message and sending
    QPlainTextEdit *Memo1; // agreement text
    QCheckBox *CheckBox1;
    QPlainTextEdit *me_content;
    QLabel *Panel6; // length line
    QPushButton *Button15, *Button8, *Button9;
    QLabel *StatusBar1;
    QTabWidget *PageControl1;
    QPushButton *Button11;
    AccountPage *WebBrowser1;
    // Recharge tab and support contacts
    QGroupBox *RadioGroup1;
    QList<QRadioButton *> rechargePackages;
    QStringList ListBox2; // purchase page of each package, in the same order
    QPushButton *Button10, *Button14;
    QLabel *Label9, *Label11, *Label21;
    QTimer *TimerSend;
    GatewayWorker *WebBrowser2;

    SendLoop &loop() { return m_loop; }
    QString appPath() const { return m_appPath; }

    void ReadyCFG();
    // Saves the account, the list and the message; false (after showing why) when SMS.ini
    // could not be written.
    bool SaveCFG();
    void CheckAllMobileCode();
    QString CheckLogal() const;

    void Button1Click();
    void Button2Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button12Click();
    void Button15Click();
    void Button16Click();
    void N1Click();
    void TimerSendTimer();
    void WebBrowser2DocumentComplete(const SendLoop::Answer &answer);
    void me_contentChange();
    void FormActivate();
    void Button10Click();
    void Button11Click();
    void Button14Click();
    void Label9Click();
    void Label11Click();
    void Label21Click();
    void WebBrowser1DocumentComplete();
    bool needLogin() const { return NeedLogin; }
    QUrl accountPageUrl() const;
    QString chatLink() const;

    // Replaces the list (used by OpenSMSSendTo).
    void setRecipients(std::vector<QString> entries);
    Gateway::Account account() const;

signals:
    void listWorkStarted();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // SendLoop::Host
    void navigate(const QUrl &url) override;
    void setStatus(const QString &text, SendLoop::Colour colour) override;
    void setBalance(const QString &text) override;
    void setRunning(bool running) override;
    void batchAccepted() override;

    QWidget *buildLeftPanel();
    QWidget *buildSendTab();
    QWidget *buildRechargeTab();
    void showCount();
    void readContacts(const QString &sql);
    // Runs work on a worker thread while the window keeps painting and shows progress; the
    // send loop neither takes from nor returns to the list meanwhile.
    void runListWork(const QString &label, bool long_,
                     const std::function<void(std::function<void(int)>)> &work);
    void saveList(const std::vector<QString> &entries) const;
    QString file(const QString &name) const { return m_appPath + name; }

    QString m_appPath;
    SendLoop m_loop;
    std::unique_ptr<DataSet> dsTmp;
    bool NeedLogin = true;
    bool m_listBusy = false;
    std::vector<SendLoop::Answer> m_heldAnswers;
    QPalette m_statusPalette;
};
