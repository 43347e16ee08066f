// The SMS window without a gateway: settings and list files, every fill and clear action,
// the list check and its rejected file, the message rules, the dialogs and the window's life.
#include "SmsWindowFixture.h"

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestAppFolder.h"

#include "sms/ListFiles.h"
#include "sms/SmsSettings.h"
#include "sms/uTgtMobileEdit.h"
#include "sms/uUserCfg.h"

#include "data/uDM.h"

#include <QPointer>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

QList<TfrmSMSSend *> openWindows()
{
    QList<TfrmSMSSend *> out;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *s = qobject_cast<TfrmSMSSend *>(w); s && !s->testAttribute(Qt::WA_WState_Hidden))
            out << s;
    return out;
}

QByteArray gbkLines(const QStringList &lines)
{
    return ListFiles::joinLines(lines);
}

} // namespace

class TestSmsWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsFromSavedFiles();
    void startsEmpty();
    void sendChecks();
    void keywordWarning();
    void messageBox();
    void importFile();
    void importLargeFile();
    void manualEditor();
    void clearAndDelete();
    void allContactsAndFilter();
    void accountDialog();
    void accountDialogEmptyFields_data();
    void accountDialogEmptyFields();
    void openAndClose();
    void sizeToggleAndLinks();
    void accessibleNames();

private:
    TfrmSMSSend *window()
    {
        m_window = new TfrmSMSSend;
        return m_window;
    }

    std::unique_ptr<SmsFolder> m_app;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingShell> m_shell;
    QPointer<TfrmSMSSend> m_window;
};

void TestSmsWindow::init()
{
    m_app = std::make_unique<SmsFolder>();
    m_app->setGateway(u"127.0.0.2"_s); // nothing listens there
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_shell = std::make_unique<RecordingShell>();
}

void TestSmsWindow::cleanup()
{
    delete m_window;
    for (TfrmSMSSend *w : openWindows())
        delete w;
    m_dialogs.reset();
    m_shell.reset();
    m_app.reset();
}

void TestSmsWindow::startsFromSavedFiles()
{
    m_app->write(u"LastMobileCode.Lst"_s,
                 "13000000000\r\n bad\n 13800000000 \r\r\n12999999999\r\n18999999999");
    m_app->writeGbk(u"SMSContent.Lst"_s, u"您好，\r\n周末快乐"_s);
    SmsSettings::writeAccount(m_app->file(u"SMS.ini"_s), {u"E1"_s, u"用户"_s, u"密码1"_s});

    TfrmSMSSend *w = window();
    QCOMPARE(w->EditEntID->text(), u"E1"_s);
    QCOMPARE(w->EditUsername->text(), u"用户"_s);
    QCOMPARE(w->EdituserPass->text(), u"密码1"_s);
    QCOMPARE(w->EdituserPass->echoMode(), QLineEdit::Password);
    QVERIFY(w->EditEntID->isReadOnly());
    QCOMPARE(recipients(w), QStringList({u"13000000000"_s, u"13800000000"_s, u"18999999999"_s}));
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：3 条"_s);
    QCOMPARE(w->loop().sendSpeed(), 1);
    // Rejected entries as they stood, last first, below the header; opened for the user.
    QCOMPARE(m_app->read(u"tmp.Txt"_s), gbkLines({u"以下号码不正确，已经自动过滤！"_s,
                                                  u"12999999999"_s, QString(), u" bad"_s}));
    QCOMPARE(m_shell->opened, QStringList{m_app->file(u"tmp.Txt"_s)});
    QCOMPARE(w->me_content->toPlainText(), u"您好，\n周末快乐"_s.replace(u'\n', u"\n"_s));
    QCOMPARE(w->Panel6->text(),
             u"信息长度:%1字 按1条短信计费(70字计一条)"_s.arg(w->me_content->toPlainText().size()));
    QVERIFY(!w->CheckBox1->isChecked());
    QCOMPARE(w->Label28->text(), u"0"_s);
}

void TestSmsWindow::startsEmpty()
{
    m_app->write(u"LastMobileCode.Lst"_s, "13000000000\r\n");
    TfrmSMSSend *w = window();
    QCOMPARE(recipients(w), QStringList{u"13000000000"_s});
    QVERIFY(!m_app->exists(u"tmp.Txt"_s)); // nothing rejected: not written, not opened
    QVERIFY(m_shell->opened.isEmpty());
    QVERIFY(w->EditEntID->text().isEmpty());
    QCOMPARE(w->Panel6->text(), u"信息长度:0字 按0条短信计费(70字计一条)"_s);

    QFile::remove(m_app->file(u"LastMobileCode.Lst"_s));
    TfrmSMSSend *w2 = new TfrmSMSSend;
    QCOMPARE(w2->StatusBar1->text(), u"就绪..."_s);
    QCOMPARE(w2->listModel->count(), 0);
    delete w2;
}

void TestSmsWindow::sendChecks()
{
    m_app->write(u"LastMobileCode.Lst"_s, "13000000000\r\n");
    TfrmSMSSend *w = window();

    // Emptiness first, then the agreement.
    w->me_content->setPlainText(u" \t "_s);
    w->Button8Click();
    QCOMPARE(m_dialogs->takeTexts(), QStringList{u"请输入发送内容！"_s});
    w->me_content->setPlainText(u" 你好 "_s);
    w->Button8Click();
    QCOMPARE(m_dialogs->takeTexts(),
             QStringList{u"只有同意界面上方《网上短信使用协议》才可以发送！"_s});
    QVERIFY(!w->loop().running());

    w->CheckBox1->setChecked(true);
    w->me_content->setPlainText(u"表情😀"_s);
    w->Button8Click();
    QCOMPARE(m_dialogs->takeTexts(), QStringList{u"发送内容含有无法发送的字符：😀"_s});
    QVERIFY(!w->loop().running());

    w->me_content->setPlainText(u" 你好 "_s);
    w->Button8Click();
    QVERIFY(m_dialogs->nothingShown());
    QVERIFY(w->loop().running());
    QVERIFY(w->TimerSend->isActive());
    QCOMPARE(w->TimerSend->interval(), 500);
    QVERIFY(!w->Button4->isEnabled() && !w->Button5->isEnabled() && !w->Button6->isEnabled() &&
            !w->Button7->isEnabled());
    QVERIFY(w->Button16->isEnabled() && w->Button8->isEnabled() && w->Button9->isEnabled());
    w->Button9Click();
    QVERIFY(!w->TimerSend->isActive());
    QVERIFY(w->Button4->isEnabled() && w->Button7->isEnabled());
    QCOMPARE(recipients(w), QStringList{u"13000000000"_s});
}

void TestSmsWindow::keywordWarning()
{
    m_app->write(u"Help/FFKey1.txt"_s, Gbk::encode(u"发票\r\n\r\n贷款\n代开 ").bytes);
    TfrmSMSSend *w = window();
    w->CheckBox1->setChecked(true);
    w->me_content->setPlainText(u"低息贷款，代开发票"_s);
    QCOMPARE(w->CheckLogal(), u"发票;贷款;"_s);

    m_dialogs->answerNo();
    w->Button8Click();
    QCOMPARE(
        m_dialogs->takeTexts(),
        QStringList{u"软件自动检索您的短信内容，发现部分信息可能非法！\r\r可能非法内容为："
                    u"发票;贷款;\r\r如果继续发送，相关可能非法信息内容将自动提交到我方软件平"
                    u"台。\r一旦管理人员确定该信息非法，您的帐号将会被冻结！\r是否继续发送？"_s});
    QVERIFY(!w->loop().running());

    m_dialogs->answerYes();
    w->Button8Click();
    m_dialogs->takeTexts();
    QVERIFY(w->loop().running());
    w->Button9Click();

    // Without the keyword file nothing is screened.
    QFile::remove(m_app->file(u"Help/FFKey1.txt"_s));
    QCOMPARE(w->CheckLogal(), QString());
}

void TestSmsWindow::messageBox()
{
    TfrmSMSSend *w = window();
    w->show();
    w->me_content->setFocus();
    QTest::keyClicks(w->me_content, u"ab"_s);
    QTest::keyClick(w->me_content, Qt::Key_Return);
    QTest::keyClick(w->me_content, Qt::Key_Enter);
    QCOMPARE(w->me_content->toPlainText(), u"ab"_s);
    QCOMPARE(w->Panel6->text(), u"信息长度:2字 按1条短信计费(70字计一条)"_s);

    w->me_content->setPlainText(QString(600, u'好'));
    QCOMPARE(w->me_content->toPlainText(), QString(560, u'好'));
    QCOMPARE(w->Panel6->text(), u"信息长度:560字 按8条短信计费(70字计一条)"_s);
    w->me_content->moveCursor(QTextCursor::End);
    QTest::keyClicks(w->me_content, u"x"_s);
    QCOMPARE(w->me_content->toPlainText().size(), 560);
}

void TestSmsWindow::importFile()
{
    TfrmSMSSend *w = window();
    const QString path = m_app->file(u"numbers.TXT"_s);
    m_app->write(u"numbers.TXT"_s, "13000000001\r\n+8613000000002\n 13000000003 \r");

    m_dialogs->answerOpenFile(QString()); // cancelled
    w->Button6Click();
    const auto shown = m_dialogs->take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].file.title, u"选择邮件地址文本文件"_s);
    QCOMPARE(shown[0].file.defaultSuffix, u"TXT"_s);
    QCOMPARE(w->listModel->count(), 0);
    QCOMPARE(w->StatusBar1->text(), u"就绪..."_s);

    m_dialogs->answerOpenFile(path);
    w->Button6Click();
    m_dialogs->take();
    QCOMPARE(recipients(w), QStringList({u"13000000001"_s, u"13000000003"_s}));
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：2 条"_s);
    QCOMPARE(m_app->read(u"tmp.Txt"_s),
             gbkLines({u"以下号码不正确，已经自动过滤！"_s, u"+8613000000002"_s}));

    // A file that cannot be read is reported and the list stays.
    m_dialogs->answerOpenFile(m_app->file(u"missing.TXT"_s));
    w->Button6Click();
    const QStringList texts = m_dialogs->takeTexts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[1].startsWith(u"无法读取文件："_s));
    QCOMPARE(recipients(w).size(), 2);
}

void TestSmsWindow::importLargeFile()
{
    // Large enough to be read and checked on a worker thread.
    QByteArray bytes;
    QStringList expected;
    for (int i = 0; i < 300000; ++i) {
        const QByteArray n = QByteArray::number(13000000000LL + i);
        if (i % 10 == 7) {
            bytes += "x" + n + "\r\n";
        } else {
            bytes += n + "\r\n";
            expected << QString::fromLatin1(n);
        }
    }
    m_app->write(u"big.txt"_s, bytes);
    TfrmSMSSend *w = window();
    w->show();
    QSignalSpy started(w, &TfrmSMSSend::listWorkStarted);
    m_dialogs->answerOpenFile(m_app->file(u"big.txt"_s));
    w->Button6Click();
    m_dialogs->take();
    QVERIFY(started.size() >= 2); // reading and checking
    QCOMPARE(recipients(w), expected);
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：270000 条"_s);
    QCOMPARE(w->loop().sendSpeed(), 80);
    const std::vector<QString> rejected = ListFiles::readLines(m_app->file(u"tmp.Txt"_s));
    QCOMPARE(rejected.size(), size_t(30001));
    QCOMPARE(rejected[1], u"x13000299997"_s); // last first
}

void TestSmsWindow::manualEditor()
{
    m_app->write(u"LastMobileCode.Lst"_s, "13000000000\r\n13000000001\r\n");
    TfrmSMSSend *w = window();

    // Cancel: the list stays, though tmp.txt now holds it.
    whenModal([](QWidget *modal) {
        auto *dlg = qobject_cast<TfrmTgtMobileEdit *>(modal);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), u"编辑目标发送短信序列"_s);
        QCOMPARE(dlg->Memo1->toPlainText(), u"13000000000\n13000000001\n"_s);
        dlg->Memo1->setPlainText(u"13900000000"_s);
        dlg->cmdClose->click();
    });
    w->Button16Click();
    QCOMPARE(recipients(w), QStringList({u"13000000000"_s, u"13000000001"_s}));
    QCOMPARE(m_app->read(u"tmp.txt"_s), QByteArray("13000000000\r\n13000000001\r\n"));

    // Save: the text is written unchanged and read back as the list, checked.
    whenModal([](QWidget *modal) {
        auto *dlg = qobject_cast<TfrmTgtMobileEdit *>(modal);
        QVERIFY(dlg);
        dlg->Memo1->setPlainText(u"13900000000\n张三\n 13900000001"_s);
        dlg->cmdReg->click();
    });
    w->Button16Click();
    QCOMPARE(m_app->read(u"tmp.txt"_s), Gbk::encode(u"13900000000\n张三\n 13900000001").bytes);
    QCOMPARE(recipients(w), QStringList({u"13900000000"_s, u"13900000001"_s}));
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：2 条"_s);

    // A text that cannot be stored is refused in the editor and nothing changes.
    whenModal([this](QWidget *modal) {
        auto *dlg = qobject_cast<TfrmTgtMobileEdit *>(modal);
        dlg->Memo1->setPlainText(u"13900000002😀"_s);
        dlg->cmdReg->click();
        QCOMPARE(m_dialogs->takeTexts(), QStringList{u"号码列表含有无法保存的字符：😀"_s});
        QVERIFY(dlg->isVisible());
        dlg->cmdClose->click();
    });
    w->Button16Click();
    QCOMPARE(recipients(w), QStringList({u"13900000000"_s, u"13900000001"_s}));
}

void TestSmsWindow::clearAndDelete()
{
    m_app->write(u"LastMobileCode.Lst"_s,
                 gbkLines({u"13000000000"_s, u"13000000001"_s, u"13000000002"_s, u"13000000003"_s,
                           u"13000000004"_s}));
    TfrmSMSSend *w = window();
    w->loop().setSendSpeed(7);
    const QString status = w->StatusBar1->text();
    auto *sel = w->ListBox1->selectionModel();
    sel->select(w->listModel->index(1), QItemSelectionModel::Select);
    sel->select(w->listModel->index(3), QItemSelectionModel::Select);
    w->N1->trigger();
    QCOMPARE(recipients(w), QStringList({u"13000000000"_s, u"13000000002"_s, u"13000000004"_s}));
    QCOMPARE(w->StatusBar1->text(), status);
    QCOMPARE(w->loop().sendSpeed(), 7);

    w->Button7Click();
    QCOMPARE(w->listModel->count(), 0);
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：0 条"_s);
    QCOMPARE(w->loop().sendSpeed(), 7);
}

void TestSmsWindow::allContactsAndFilter()
{
    TestAppFolder app;
    QVERIFY(app.isValid());
    AppPath = app.path();
    const qint64 c1 = app.addCategory(u"客户"_s);
    const qint64 c2 = app.addCategory(u"同事"_s);
    app.addContact(c1, {.linker = u"张三"_s, .mobileCode = u"13800000001"_s});
    app.addContact(c1, {.linker = u"李四"_s, .mobileCode = u"13800000001"_s});
    app.addContact(c2, {.linker = u"王五"_s, .mobileCode = u"1380000"_s});
    app.addContact(c2, {.linker = u"赵六"_s, .mobileCode = u" 13800000004"_s});
    app.addContact(c2, {.linker = u"空"_s, .mobileCode = QString()});
    TDM dm(app.path());
    DM = &dm;

    TfrmSMSSend *w = window();
    w->Button4Click();
    QStringList got = recipients(w);
    got.sort();
    // Duplicates stay; the short number is rejected; the blank-padded one is trimmed.
    QCOMPARE(got, QStringList({u"13800000001"_s, u"13800000001"_s, u"13800000004"_s}));
    QCOMPARE(w->StatusBar1->text(), u"待发送目标号码：3 条"_s);
    QVERIFY(m_app->exists(u"tmp.Txt"_s) || QFile::exists(app.path() + u"tmp.Txt"_s));

    // The filter dialog, cancelled: the list stays.
    whenModal([](QWidget *modal) { modal->close(); });
    w->Button5Click();
    QCOMPARE(recipients(w).size(), 3);

    delete m_window;
    DM = nullptr;
}

void TestSmsWindow::accountDialog()
{
    m_app->write(u"LastMobileCode.Lst"_s, "13000000000\r\n");
    TfrmSMSSend *w = window();
    w->me_content->setPlainText(u"消息"_s);

    // Cancel: nothing changes, nothing is written.
    whenModal([](QWidget *modal) {
        auto *dlg = qobject_cast<TfrmUserCfg *>(modal);
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), u"配置我的短信帐户信息"_s);
        dlg->EditEntID->setText(u"X"_s);
        dlg->cmdCancel->click();
    });
    w->Button1Click();
    QCOMPARE(w->EditEntID->text(), QString());
    QVERIFY(!m_app->exists(u"SMS.ini"_s));
    QVERIFY(!m_app->exists(u"SMSContent.Lst"_s));

    // Save: the account, both list files and a balance query.
    whenModal([](QWidget *modal) {
        auto *dlg = qobject_cast<TfrmUserCfg *>(modal);
        QVERIFY(dlg);
        dlg->EditEntID->setText(u"企业1"_s);
        dlg->EditUserName->setText(u"张三"_s);
        dlg->EditPassworrd->setText(u"密 码"_s);
        dlg->cmdEnsure->click();
    });
    w->Button1Click();
    QCOMPARE(w->EditEntID->text(), u"企业1"_s);
    QCOMPARE(w->EditUsername->text(), u"张三"_s);
    QCOMPARE(w->EdituserPass->text(), u"密 码"_s);
    const Gateway::Account a = SmsSettings::readAccount(m_app->file(u"SMS.ini"_s));
    QCOMPARE(a.password, u"密 码"_s);
    QCOMPARE(QFile::permissions(m_app->file(u"SMS.ini"_s)) & 0x0077, QFileDevice::Permissions());
    QCOMPARE(m_app->read(u"LastMobileCode.Lst"_s), QByteArray("13000000000\r\n"));
    QCOMPARE(m_app->read(u"SMSContent.Lst"_s), Gbk::encode(u"消息").bytes);
    QVERIFY(w->loop().busy()); // the balance refresh went out
    QCOMPARE(w->loop().requestKind(), SendLoop::Request::Balance);
    QTRY_COMPARE(w->StatusBar1->text(), u"确认电脑是否连接到Internet"_s);
}

void TestSmsWindow::accountDialogEmptyFields_data()
{
    QTest::addColumn<QString>("ent");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("ent") << QString() << u"u"_s << u"p"_s << u"请输入企业ID！"_s << u"EditEntID"_s;
    QTest::newRow("user") << u"e"_s << QString() << QString() << u"请输用户名！"_s
                          << u"EditUserName"_s;
    QTest::newRow("pass") << u" "_s << u" "_s << QString() << u"请输入登陆密码！"_s
                          << u"EditPassworrd"_s;
    QTest::newRow("not GBK") << u"e"_s << u"u😀"_s << u"p"_s << u"用户名称含有无法保存的字符：😀"_s
                             << u"EditUserName"_s;
}

void TestSmsWindow::accountDialogEmptyFields()
{
    QFETCH(QString, ent);
    QFETCH(QString, user);
    QFETCH(QString, pass);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    TfrmUserCfg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.EditEntID->setText(ent);
    dlg.EditUserName->setText(user);
    dlg.EditPassworrd->setText(pass);
    dlg.cmdEnsure->click();
    QCOMPARE(m_dialogs->takeTexts(), QStringList{message});
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.Cancelled);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

void TestSmsWindow::openAndClose()
{
    m_app->write(u"LastMobileCode.Lst"_s, "13000000000\r\n");
    QVERIFY(OpenSMSSend());
    QVERIFY(OpenSMSSend());
    QVERIFY(OpenSMSSend());
    QCOMPARE(openWindows().size(), 3);
    for (TfrmSMSSend *w : openWindows()) {
        QVERIFY(w->testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!w->isModal());
        QCOMPARE(w->windowTitle(), u"短信群发"_s);
        QVERIFY(w->windowFlags() & Qt::WindowStaysOnTopHint);
        delete w;
    }

    // One number: it replaces the loaded list, unchecked; the file changes only on closing.
    QVERIFY(OpenSMSSendTo(u"13800000000 "_s));
    QCOMPARE(openWindows().size(), 1);
    QPointer<TfrmSMSSend> w = openWindows().first();
    QCOMPARE(recipients(w), QStringList{u"13800000000 "_s});
    QCOMPARE(m_app->read(u"LastMobileCode.Lst"_s), QByteArray("13000000000\r\n"));
    w->me_content->setPlainText(u"第一行\n第二行"_s);
    w->Button3->click();
    QTRY_VERIFY(w.isNull());
    QCOMPARE(m_app->read(u"LastMobileCode.Lst"_s), QByteArray("13800000000 \r\n"));
    QCOMPARE(ListFiles::readText(m_app->file(u"SMSContent.Lst"_s)), u"第一行\n第二行"_s);
    QVERIFY(m_app->exists(u"SMS.ini"_s));

    // Two windows: the one closed last wins.
    auto *a = new TfrmSMSSend;
    auto *b = new TfrmSMSSend;
    a->me_content->setPlainText(u"A"_s);
    b->me_content->setPlainText(u"B"_s);
    a->Button7Click();
    QVERIFY(b->close());
    QVERIFY(a->close());
    QCOMPARE(m_app->read(u"SMSContent.Lst"_s), QByteArray("A"));
    QCOMPARE(m_app->read(u"LastMobileCode.Lst"_s), QByteArray());
    QTRY_COMPARE(openWindows().size(), 0);

    // A settings file that cannot be written keeps the window open.
    auto *c = new TfrmSMSSend;
    QPointer<TfrmSMSSend> guard(c);
    QDir().mkpath(m_app->file(u"SMS.ini.lock"_s));
    QFile::remove(m_app->file(u"SMS.ini"_s));
    QDir().mkpath(m_app->file(u"SMS.ini"_s)); // a folder in the file's place
    QVERIFY(!c->close());
    QCOMPARE(m_dialogs->takeTexts(), QStringList{u"无法保存短信帐户设置文件 SMS.ini！"_s});
    QVERIFY(guard);
    delete c;
}

void TestSmsWindow::sizeToggleAndLinks()
{
    TfrmSMSSend *w = window();
    QCOMPARE(w->size(), QSize(892, 523));
    w->Button2Click();
    QCOMPARE(w->size(), QSize(100, 60));
    QCOMPARE(w->Button2->text(), u"切换为大窗口"_s);
    w->Button2Click();
    QCOMPARE(w->size(), QSize(900, 620));
    QCOMPARE(w->Button2->text(), u"切换为小窗口"_s);

    const QString before = w->me_content->toPlainText();
    w->Button15Click();
    QCOMPARE(m_shell->browsed, QStringList{u"http://www.quillobook.example/greetings/"_s});
    QCOMPARE(w->me_content->toPlainText(), before);
}

void TestSmsWindow::accessibleNames()
{
    TfrmSMSSend *w = window();
    for (const auto &[name, label] : std::initializer_list<std::pair<QString, QString>>{
             {u"EditEntID"_s, u"企业ID"_s},
             {u"EditUsername"_s, u"用户名称"_s},
             {u"EdituserPass"_s, u"登陆密码"_s},
             {u"me_content"_s, u"发送内容"_s},
             {u"ListBox1"_s, u"发送目标手机号码"_s}}) {
        auto *widget = w->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->accessibleName(), label);
    }
    const QStringList buttons = {u"Button1"_s,  u"Button2"_s,  u"Button3"_s,  u"Button4"_s,
                                 u"Button5"_s,  u"Button6"_s,  u"Button7"_s,  u"Button8"_s,
                                 u"Button9"_s,  u"Button11"_s, u"Button12"_s, u"Button13"_s,
                                 u"Button15"_s, u"Button16"_s};
    for (const QString &b : buttons)
        QVERIFY2(w->findChild<QPushButton *>(b), qPrintable(b));
    QCOMPARE(w->findChild<QCheckBox *>(u"CheckBox1"_s)->text(), u"我同意网上短信使用协议条款"_s);
    QCOMPARE(w->Memo1->toPlainText().split(u'\n').size(), 10);
}

QUILLO_SMS_TEST_MAIN(TestSmsWindow)
#include "tst_smswindow.moc"
