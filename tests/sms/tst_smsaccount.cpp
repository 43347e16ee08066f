// The provider's account page in the SMS window against the site simulator on port 80, the
// recharge tab and the support links.
#include "SmsWindowFixture.h"

#include "GatewaySim.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"

#include "sms/AccountPage.h"
#include "sms/ListFiles.h"

#include <QGroupBox>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {

// Runs a script in the account page and waits for its result.
QVariant evaluate(TfrmSMSSend *w, const QString &script)
{
    QVariant result;
    bool done = false;
    w->WebBrowser1->view()->page()->runJavaScript(script, [&](const QVariant &r) {
        result = r;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 20000))
        return u"<no answer>"_s;
    return result;
}

QStringList fieldValues(TfrmSMSSend *w)
{
    return evaluate(w, u"[document.forms[0].Ecode.value, document.forms[0].user.value,"
                       " document.forms[1].user.value]"_s)
        .toStringList();
}

// The path of the last page served (the engine also asks for a favicon).
QString lastPage(const GatewaySim &site)
{
    const QList<GatewaySim::Request> r = site.requests();
    for (qsizetype i = r.size(); i-- > 0;)
        if (r[i].kind == GatewaySim::Kind::Page)
            return r[i].path;
    return QString();
}

} // namespace

class TestSmsAccount : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pageFilledOnce();
    void fillScriptEscapes_data();
    void fillScriptEscapes();
    void rightButtonDropped();
    void rechargeAndLinks();
    void unreachablePage();

private:
    // A window with this account on an address whose port 80 serves the account pages.
    TfrmSMSSend *window(const QString &entId, const QString &user);

    int m_next = 60;
    std::unique_ptr<SmsFolder> m_app;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<GatewaySim> m_site, m_gateway;
    QPointer<TfrmSMSSend> m_window;
};

void TestSmsAccount::init()
{
    m_app = std::make_unique<SmsFolder>();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_shell = std::make_unique<RecordingShell>();
}

void TestSmsAccount::cleanup()
{
    delete m_window;
    m_site.reset();
    m_gateway.reset();
    m_dialogs.reset();
    m_shell.reset();
    m_app.reset();
}

TfrmSMSSend *TestSmsAccount::window(const QString &entId, const QString &user)
{
    const QString address = u"127.0.0.%1"_s.arg(m_next++);
    m_site = std::make_unique<GatewaySim>();
    m_site->addAccountPages();
    m_gateway = std::make_unique<GatewaySim>();
    if (!m_site->listen(QHostAddress(address), 80) || !m_gateway->listen(QHostAddress(address)))
        return nullptr;
    m_app->setGateway(address);
    m_window = new TfrmSMSSend;
    m_window->EditEntID->setText(entId);
    m_window->EditUsername->setText(user);
    m_window->EdituserPass->setText(u"pw"_s);
    return m_window;
}

void TestSmsAccount::pageFilledOnce()
{
    TfrmSMSSend *w = window(u"E100"_s, u"张三"_s);
    QVERIFY(w);
    QVERIFY(w->needLogin());
    QVERIFY(!w->WebBrowser1->view()); // no engine until the page is wanted
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(w->WebBrowser1->view());
    QTRY_VERIFY_WITH_TIMEOUT(!w->needLogin(), 30000);
    // Every input of that name in every form holds the account's texts; the password not.
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(w), QStringList({u"E100"_s, u"张三"_s, u"张三"_s}),
                              10000);
    QCOMPARE(evaluate(w, u"document.forms[0].password.value"_s).toString(), QString());
    QCOMPARE(lastPage(*m_site), u"/sms/"_s);
    // Activation also asked for the balance.
    QTRY_VERIFY(!m_gateway->requests().isEmpty());
    QCOMPARE(m_gateway->requests().first().kind, GatewaySim::Kind::Balance);

    // Activation again: the page is loaded afresh and not filled.
    QSignalSpy loaded(w->WebBrowser1, &AccountPage::documentComplete);
    w->FormActivate();
    QVERIFY(loaded.wait(20000));
    QCOMPARE(fieldValues(w), QStringList({QString(), QString(), QString()}));

    // A page reached through a link is not filled either.
    evaluate(w, u"document.getElementById('records').click(); true"_s);
    QVERIFY(loaded.wait(20000));
    QCOMPARE(lastPage(*m_site), u"/sms/records.asp"_s);
    QCOMPARE(evaluate(w, u"document.forms[0].user.value"_s).toString(), QString());

    // The re-login button fills the next page again.
    w->Button11Click();
    QVERIFY(w->needLogin());
    QVERIFY(loaded.wait(20000));
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(w), QStringList({u"E100"_s, u"张三"_s, u"张三"_s}),
                              10000);
    QVERIFY(!w->needLogin());
}

void TestSmsAccount::fillScriptEscapes_data()
{
    QTest::addColumn<QString>("entId");
    QTest::addColumn<QString>("user");
    QTest::newRow("quotes") << u"E\"1'"_s << u"a'b\"c"_s;
    QTest::newRow("backslash") << u"E\\1\\"_s << u"\\\"); alert(1); (\""_s;
    QTest::newRow("markup and lines") << u"</script><b>x"_s << u"a\u2028b"_s;
}

void TestSmsAccount::fillScriptEscapes()
{
    QFETCH(QString, entId);
    QFETCH(QString, user);
    TfrmSMSSend *w = window(entId, user);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_VERIFY_WITH_TIMEOUT(!w->needLogin(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(w), QStringList({entId, user, user}), 10000);
}

void TestSmsAccount::rightButtonDropped()
{
    TfrmSMSSend *w = window(u"E1"_s, u"u"_s);
    QVERIFY(w);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTRY_VERIFY_WITH_TIMEOUT(!w->needLogin(), 30000);
    QCOMPARE(w->WebBrowser1->view()->contextMenuPolicy(), Qt::NoContextMenu);
    QWidget *target = w->WebBrowser1->view()->focusProxy();
    if (!target)
        target = w->WebBrowser1->view();
    QVERIFY(w->WebBrowser1->isAncestorOf(target));
    // The window's filter takes right-button events aimed inside the page, and only those.
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QVERIFY(static_cast<QObject *>(w)->eventFilter(target, &right));
    QMouseEvent left(QEvent::MouseButtonPress, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(!static_cast<QObject *>(w)->eventFilter(target, &left));
    QVERIFY(!static_cast<QObject *>(w)->eventFilter(w->Button1, &right));
}

void TestSmsAccount::rechargeAndLinks()
{
    m_app->writeGbk(u"Provider.ini"_s,
                    u"[Provider]\r\nGatewayHost=127.0.0.3\r\nSupportEmail=help@example.test\r\n"
                    "RechargeUrls=http://a/1|http://a/2|http://a/3|http://a/4|http://a/5|"
                    "http://a/6|http://a/7\r\n"_s);
    auto *w = new TfrmSMSSend;
    m_window = w;
    QCOMPARE(w->rechargePackages.size(), 7);
    QVERIFY(w->rechargePackages[2]->isChecked());
    QCOMPARE(w->RadioGroup1->title(), u"冲值类型选择"_s);
    w->Button10Click();
    w->rechargePackages[5]->setChecked(true);
    w->Button10Click();
    w->Button14Click();
    w->Label9Click();
    w->Label21Click();
    w->Label11Click();
    QCOMPARE(
        m_shell->browsed,
        QStringList({u"http://a/3"_s, u"http://a/6"_s, u"https://pay.quillobook.example/transfer"_s,
                     u"http://wpa.qq.com/msgrd?v=3&uin=800000000&site=qq&menu=yes"_s,
                     u"http://www.quillobook.example/"_s}));
    QCOMPARE(m_shell->opened, QStringList{u"mailto:help@example.test"_s});
    QCOMPARE(w->Button10->text(), u"立即购买(淘宝)"_s);
    QCOMPARE(w->Button14->text(), u"立即支付(支付宝)"_s);
    QVERIFY(w->Label11->text().contains(u"help@example.test"_s));
    QCOMPARE(w->Label9->cursor().shape(), Qt::PointingHandCursor);
}

void TestSmsAccount::unreachablePage()
{
    // Nothing on port 80; the gateway on 8080 answers.
    const QString address = u"127.0.0.%1"_s.arg(m_next++);
    m_gateway = std::make_unique<GatewaySim>();
    QVERIFY(m_gateway->listen(QHostAddress(address)));
    m_app->setGateway(address);
    m_app->setAccount();
    ListFiles::writeLines(m_app->file(u"LastMobileCode.Lst"_s), QStringList{u"13000000000"_s});
    auto *w = new TfrmSMSSend;
    m_window = w;
    QSignalSpy loaded(w->WebBrowser1, &AccountPage::documentComplete);
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QVERIFY(loaded.wait(30000));
    QCOMPARE(loaded.first().first().toBool(), false);

    w->me_content->setPlainText(u"hello"_s);
    w->CheckBox1->setChecked(true);
    w->TimerSend->setInterval(1);
    QTRY_VERIFY(!w->loop().busy()); // the activation's balance query
    w->Button8Click();
    QTRY_COMPARE_WITH_TIMEOUT(w->StatusBar1->text(), u"发送完毕"_s, 20000);
    QCOMPARE(m_gateway->acceptedNumbers(), QStringList{u"13000000000"_s});
}

QUILLO_SMS_TEST_MAIN(TestSmsAccount)
#include "tst_smsaccount.moc"
