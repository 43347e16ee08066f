// The SMS window against the gateway simulator on its own loopback address: request sequences,
// status texts and colours, the list after each stop, and faults of the network and gateway.
#include "SmsWindowFixture.h"

#include "GatewaySim.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"

#include "sms/GatewayWorker.h"
#include "sms/ListFiles.h"
#include "sms/RecipientModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

QStringList numbers(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString::number(13000000000LL + i);
    return out;
}

// "S2*70 S1*10 B*1": send requests of 2 numbers 70 times, ..., balance queries.
QString shape(const QList<GatewaySim::Request> &requests)
{
    QStringList runs;
    QString last;
    int times = 0;
    for (const GatewaySim::Request &r : requests) {
        const QString item = r.kind == GatewaySim::Kind::Send
                                 ? u"S"_s + QString::number(r.mobiles.size())
                                 : (r.kind == GatewaySim::Kind::Balance ? u"B"_s : u"?"_s);
        if (item == last) {
            ++times;
            continue;
        }
        if (times)
            runs << last + u'*' + QString::number(times);
        last = item;
        times = 1;
    }
    if (times)
        runs << last + u'*' + QString::number(times);
    return runs.join(u' ');
}

QStringList fileLines(const SmsFolder &app, const QString &name)
{
    const std::vector<QString> l = ListFiles::readLines(app.file(name));
    return {l.begin(), l.end()};
}

QColor statusColour(TfrmSMSSend *w)
{
    return w->StatusBar1->palette().color(QPalette::WindowText);
}

} // namespace

class TestSmsGateway : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sendScenarios_data();
    void sendScenarios();
    void faults_data();
    void faults();
    void valuesArriveIntact();
    void listSavedAfterEachAcceptedBatch();
    void closeWhileSending();
    void balanceRefresh();
    void simulatorProcess();

private:
    QString nextAddress() { return u"127.0.0.%1"_s.arg(m_next++); }
    // A window on a folder with the account, the list and a message, ready to send.
    TfrmSMSSend *window(const QString &address, const QStringList &list);
    void waitStopped(TfrmSMSSend *w);

    int m_next = 20;
    std::unique_ptr<SmsFolder> m_app;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingShell> m_shell;
    QPointer<TfrmSMSSend> m_window;
};

void TestSmsGateway::init()
{
    m_app = std::make_unique<SmsFolder>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_shell = std::make_unique<RecordingShell>();
}

void TestSmsGateway::cleanup()
{
    delete m_window;
    m_dialogs.reset();
    m_shell.reset();
    m_app.reset();
}

TfrmSMSSend *TestSmsGateway::window(const QString &address, const QStringList &list)
{
    m_app->setGateway(address);
    m_app->setAccount();
    ListFiles::writeLines(m_app->file(u"LastMobileCode.Lst"_s), list);
    m_app->writeGbk(u"SMSContent.Lst"_s, u"周末快乐"_s);
    m_window = new TfrmSMSSend; // not shown: no activation, so no balance query of its own
    m_window->CheckBox1->setChecked(true);
    m_window->TimerSend->setInterval(1);
    return m_window;
}

void TestSmsGateway::waitStopped(TfrmSMSSend *w)
{
    QTRY_VERIFY_WITH_TIMEOUT(!w->TimerSend->isActive() && !w->loop().busy(), 60000);
}

void TestSmsGateway::sendScenarios_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("sends");    // scripted send answers, then "0"
    QTest::addColumn<QStringList>("balances"); // scripted balance answers
    QTest::addColumn<bool>("refreshTwice");    // two refreshes while the first batch is out
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("colour");
    QTest::addColumn<int>("left");

    const QString done = u"发送完毕"_s;
    QTest::newRow("five") << 5 << QStringList() << QStringList() << false << u"S1*5"_s << done
                          << u"keep"_s << 0;
    QTest::newRow("150") << 150 << QStringList() << QStringList() << false << u"S2*70 S1*10"_s
                         << done << u"keep"_s << 0;
    QTest::newRow("5000") << 5000 << QStringList() << QStringList() << false
                          << u"S30*165 S2*20 S1*10"_s << done << u"keep"_s << 0;
    QTest::newRow("-13 at the third") << 5 << QStringList{u"0"_s, u"0"_s, u"-13"_s} << QStringList()
                                      << false << u"S1*3"_s << u"余额不足"_s << u"red"_s << 3;
    QTest::newRow("-2 at once") << 150 << QStringList{u"-2"_s} << QStringList() << false
                                << u"S2*1"_s << QString() << u"red"_s << 150;
    QTest::newRow("0 with text") << 5 << QStringList(5, u"0:已提交"_s) << QStringList() << false
                                 << u"S1*5"_s << done << u"keep"_s << 0;
    // The balance below 100 slows the loop to one number until 50 are left.
    QTest::newRow("balance 99, two refreshes")
        << 150 << QStringList() << QStringList{u"99"_s} << true << u"S2*1 B*1 S1*98 S2*20 S1*10"_s
        << done << u"green"_s << 0;
}

void TestSmsGateway::sendScenarios()
{
    QFETCH(int, count);
    QFETCH(QStringList, sends);
    QFETCH(QStringList, balances);
    QFETCH(bool, refreshTwice);
    QFETCH(QString, sequence);
    QFETCH(QString, status);
    QFETCH(QString, colour);
    QFETCH(int, left);

    const QString address = nextAddress();
    GatewaySim sim;
    QVERIFY2(sim.listen(QHostAddress(address)), qPrintable(sim.errorString()));
    for (const QString &s : sends)
        sim.queueSend(GatewaySim::Reply::code(s));
    for (const QString &b : balances)
        sim.queueBalance(GatewaySim::Reply::code(b));

    const QStringList original = numbers(count);
    TfrmSMSSend *w = window(address, original);
    const QColor initial = statusColour(w);
    QCOMPARE(recipients(w), original);
    if (refreshTwice) {
        connect(&sim, &GatewaySim::requestHandled, w, [w](const GatewaySim::Request &r) {
            if (r.seq == 1) {
                w->Button12Click();
                w->Button12Click();
            }
        });
    }
    w->Button8Click();
    QVERIFY(!w->Button4->isEnabled() && !w->Button7->isEnabled());
    waitStopped(w);

    QCOMPARE(shape(sim.requests()), sequence);
    QCOMPARE(w->StatusBar1->text(), status);
    const QColor expected = colour == u"red"_s     ? QColor(255, 0, 0)
                            : colour == u"green"_s ? QColor(0, 128, 0)
                                                   : initial;
    QCOMPARE(statusColour(w), expected);
    QVERIFY(w->Button4->isEnabled() && w->Button5->isEnabled() && w->Button6->isEnabled() &&
            w->Button7->isEnabled());

    // Every number was accepted once or stands in the list, in order; the saved list is the
    // list as it stands.
    QCOMPARE(recipients(w).size(), left);
    QCOMPARE(sim.acceptedNumbers() + recipients(w), original);
    if (sim.acceptedNumbers().size() > 0)
        QCOMPARE(fileLines(*m_app, u"LastMobileCode.Lst"_s), recipients(w));
    if (!balances.isEmpty()) {
        QCOMPARE(w->Label28->text(), balances.last());
        QCOMPARE(w->Label13->text(), balances.last());
    }
    for (const GatewaySim::Request &r : sim.sendRequests()) {
        QCOMPARE(r.keys, QStringList({u"CORPID"_s, u"USERNAME"_s, u"PASSWORD"_s, u"EXTNO"_s,
                                      u"MOBILE"_s, u"CONTENT"_s}));
        QCOMPARE(r.content, u"周末快乐"_s);
        QCOMPARE(r.password, u"pw"_s);
    }
}

void TestSmsGateway::faults_data()
{
    QTest::addColumn<QStringList>("sends"); // empty: nothing listens on the address
    QTest::addColumn<QString>("then");      // the answer once the script is used up
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("sent"); // send requests the gateway saw; -1: not checked
    const QString noNet = u"获取网络数据失败，可能网络已经未连接Internet！"_s;
    const QString notConnected = u"确认电脑是否连接到Internet"_s;
    const QString ok = u"0"_s;
    QTest::newRow("refused") << QStringList() << ok << notConnected << 0;
    QTest::newRow("time-out") << QStringList{u"0"_s, u"hang"_s} << ok << noNet << 2;
    QTest::newRow("slow answer") << QStringList{u"0"_s, u"2000@0"_s} << ok << noNet << 2;
    QTest::newRow("no body") << QStringList{u"0"_s, u"0"_s, u"nobody"_s} << ok << noNet << 3;
    QTest::newRow("garbage") << QStringList{u"0"_s, u"garbage"_s} << ok << notConnected << 2;
    // The network layer retries a dropped GET itself, so every later request drops too.
    QTest::newRow("dropped") << QStringList{u"0"_s} << u"drop"_s << notConnected << -1;
    QTest::newRow("http 500") << QStringList{u"http:500"_s} << ok << notConnected << 1;
    QStringList longSend(40, u"0"_s);
    longSend << u"-10"_s;
    QTest::newRow("error in a long send")
        << longSend << ok << u"号码太长不能超过100条一次提交"_s << 41;
}

void TestSmsGateway::faults()
{
    QFETCH(QStringList, sends);
    QFETCH(QString, then);
    QFETCH(QString, status);
    QFETCH(int, sent);

    const QString address = nextAddress();
    GatewaySim sim;
    if (!sends.isEmpty())
        QVERIFY2(sim.listen(QHostAddress(address)), qPrintable(sim.errorString()));
    for (const QString &s : sends) {
        GatewaySim::Reply r;
        QVERIFY(GatewaySim::Reply::parse(s, &r));
        sim.queueSend(r);
    }
    GatewaySim::Reply after;
    QVERIFY(GatewaySim::Reply::parse(then, &after));
    sim.setSendDefault(after);
    const QStringList original = numbers(3000); // 30 per request
    TfrmSMSSend *w = window(address, original);
    w->WebBrowser2->setTimeout(500);
    w->Button8Click();
    waitStopped(w);

    QCOMPARE(w->StatusBar1->text(), status);
    const QStringList accepted = sim.acceptedNumbers();
    if (sent >= 0) {
        QCOMPARE(sim.sendRequests().size(), sent);
        QCOMPARE(accepted.size(), std::max(sent - 1, 0) * 30);
    }
    QCOMPARE(accepted + recipients(w), original);
    for (const QString &n : accepted)
        QVERIFY(!recipients(w).contains(n));
    if (!accepted.isEmpty())
        QCOMPARE(fileLines(*m_app, u"LastMobileCode.Lst"_s), recipients(w));
}

void TestSmsGateway::valuesArriveIntact()
{
    const QString address = nextAddress();
    GatewaySim sim;
    QVERIFY(sim.listen(QHostAddress(address)));
    TfrmSMSSend *w = window(address, numbers(1));
    w->EditEntID->setText(u"E&1=2"_s);
    w->EditUsername->setText(u"张 三#"_s);
    w->EdituserPass->setText(u"p%2B+"_s);
    const QString text = u"a&b=c#d%e+f g 你好\r\n再见"_s;
    w->me_content->setPlainText(text);
    w->Button8Click();
    waitStopped(w);
    QCOMPARE(sim.sendRequests().size(), 1);
    const GatewaySim::Request r = sim.sendRequests().first();
    QCOMPARE(r.corpId, u"E&1=2"_s);
    QCOMPARE(r.userName, u"张 三#"_s);
    QCOMPARE(r.password, u"p%2B+"_s);
    QCOMPARE(r.mobiles, numbers(1));
    QCOMPARE(r.content, w->me_content->toPlainText());
    QVERIFY(r.content.contains(u"a&b=c#d%e+f g 你好"_s));
    QCOMPARE(r.extNo, QString());
}

void TestSmsGateway::listSavedAfterEachAcceptedBatch()
{
    const QString address = nextAddress();
    GatewaySim sim;
    QVERIFY(sim.listen(QHostAddress(address)));
    sim.queueSend(GatewaySim::Reply::code(u"0"_s));
    sim.queueSend(GatewaySim::Reply::code(u"0"_s));
    sim.queueSend(GatewaySim::Reply::code(u"0"_s, 5000)); // third batch stays out a while
    const QStringList original = numbers(300);            // 10 per request
    TfrmSMSSend *w = window(address, original);
    w->Button8Click();
    QTRY_COMPARE_WITH_TIMEOUT(sim.sendRequests().size(), 3, 10000);
    // As a crash would leave it: the two delivered batches are gone, the one in flight is not.
    QCOMPARE(fileLines(*m_app, u"LastMobileCode.Lst"_s), original.mid(20));
    QCOMPARE(recipients(w), original.mid(30));
    w->Button9Click();
    sim.close();
}

void TestSmsGateway::closeWhileSending()
{
    const QString address = nextAddress();
    GatewaySim sim;
    QVERIFY(sim.listen(QHostAddress(address)));
    sim.queueSend(GatewaySim::Reply::code(u"0"_s));
    sim.setSendDefault(GatewaySim::Reply::code(u"0"_s, 3000));
    const QStringList original = numbers(300);
    TfrmSMSSend *w = window(address, original);
    w->show();
    m_dialogs->take();
    w->Button8Click();
    QTRY_COMPARE_WITH_TIMEOUT(sim.sendRequests().size(), 2, 10000);

    // No: the window stays and goes on sending.
    m_dialogs->answerNo();
    QVERIFY(!w->close());
    QCOMPARE(m_dialogs->takeTexts(), QStringList{u"正在发送短信，确定要中断发送并关闭窗口吗？"_s});
    QVERIFY(w->TimerSend->isActive());

    // Yes: the batch awaiting its answer is saved back on top of the rest.
    m_dialogs->answerYes();
    QVERIFY(w->close());
    m_dialogs->takeTexts();
    QTRY_VERIFY(m_window.isNull());
    QCOMPARE(fileLines(*m_app, u"LastMobileCode.Lst"_s), original.mid(10));
    QCOMPARE(sim.acceptedNumbers(), original.mid(0, 10));
}

void TestSmsGateway::balanceRefresh()
{
    const QString address = nextAddress();
    GatewaySim sim;
    QVERIFY(sim.listen(QHostAddress(address)));
    sim.queueBalance(GatewaySim::Reply::code(u"12345678901"_s));
    sim.queueBalance(GatewaySim::Reply::code(u"-5"_s));
    TfrmSMSSend *w = window(address, numbers(3));
    w->Button12Click();
    QTRY_COMPARE(w->Label13->text(), u"12345678901"_s); // beyond 32 bits: still a balance
    QCOMPARE(w->Label28->text(), u"12345678901"_s);
    QCOMPARE(w->StatusBar1->text(), u"帐户余额：12345678901 条"_s);
    QCOMPARE(statusColour(w), QColor(0, 128, 0));
    QCOMPARE(sim.requests().last().keys, QStringList({u"CORPID"_s, u"USERNAME"_s, u"PASSWORD"_s}));
    QCOMPARE(sim.requests().last().corpId, u"E1"_s);

    w->Button12Click();
    QTRY_COMPARE(w->StatusBar1->text(), u"登录账户错误，确认企业ID/用户名/密码均输入正确！"_s);
    QCOMPARE(statusColour(w), QColor(255, 0, 0));
    QCOMPARE(recipients(w), numbers(3));

    // Without a complete account nothing is asked.
    w->EdituserPass->clear();
    w->Button12Click();
    QTest::qWait(50);
    QCOMPARE(sim.requests().size(), 2);
}

void TestSmsGateway::simulatorProcess()
{
    // The simulator as a program: scripted answers and its request log.
    QString exe = qEnvironmentVariable("QUILLO_TOOLS_DIR") + u"/gatewaysim"_s;
    if (QFileInfo(exe).isDir())
        exe += u"/gatewaysim"_s;
    if (!QFileInfo(exe).isExecutable())
        QSKIP("gatewaysim not built");
    const QString address = nextAddress();
    QProcess p;
    p.start(exe, {u"--address"_s, address, u"--send"_s, u"-13"_s, u"--log"_s,
                  m_app->file(u"sim.log"_s)});
    QVERIFY(p.waitForReadyRead(5000));
    QVERIFY(p.readLine().startsWith("listening"));
    TfrmSMSSend *w = window(address, numbers(2));
    w->Button8Click();
    waitStopped(w);
    QCOMPARE(w->StatusBar1->text(), u"余额不足"_s);
    p.terminate();
    QVERIFY(p.waitForFinished(5000));
    const QByteArray log = m_app->read(u"sim.log"_s);
    QVERIFY2(log.startsWith("1\tsend\t-13\tE1\tu1\tpw\t13000000000\t"), log.constData());
}

QUILLO_SMS_TEST_MAIN(TestSmsGateway)
#include "tst_smsgateway.moc"
