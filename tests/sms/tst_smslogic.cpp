// Logic of the SMS window without a window: list check, speed table, list files, account file,
// message rules, gateway requests and answers, and the send loop as a state machine.
#include "sms/Gateway.h"
#include "sms/ListFiles.h"
#include "sms/RecipientList.h"
#include "sms/SendLoop.h"
#include "sms/SmsContent.h"
#include "sms/SmsSettings.h"

#include "common/FileError.h"
#include "common/GbkCodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList numbers(int n, qint64 first = 13000000000LL)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString::number(first + i);
    return out;
}

std::vector<QString> vec(const QStringList &l)
{
    return {l.begin(), l.end()};
}

QStringList entriesOf(const RecipientList &r)
{
    QStringList out;
    for (qsizetype i = 0; i < r.count(); ++i)
        out << r.at(i);
    return out;
}

QString answerPage(const QString &body)
{
    return Gateway::parseHtml(u"<html><head></head><body>%1</body></html>"_s.arg(body).toUtf8())
        .outerHtml;
}

// Carries out what the loop asks for and records it.
struct RecordingHost : SendLoop::Host
{
    QList<QUrl> navigations;
    QStringList statuses;
    QList<SendLoop::Colour> colours;
    QString balance;
    bool running = false;
    int accepted = 0;

    void navigate(const QUrl &url) override { navigations << url; }
    void setStatus(const QString &text, SendLoop::Colour c) override
    {
        statuses << text;
        colours << c;
    }
    void setBalance(const QString &text) override { balance = text; }
    void setRunning(bool r) override { running = r; }
    void batchAccepted() override { ++accepted; }
};

QUrl batchUrl(const QString &numbers)
{
    return Gateway::sendUrl(u"gw.test"_s, {u"e"_s, u"u"_s, u"p"_s}, numbers, u"hi"_s);
}

QString mobileOf(const QUrl &url)
{
    const QString q = url.query(QUrl::FullyEncoded);
    const qsizetype at = q.indexOf(u"MOBILE="_s) + 7;
    return QString::fromUtf8(
        QByteArray::fromPercentEncoding(q.mid(at, q.indexOf(u'&', at) - at).toLatin1()));
}

} // namespace

class TestSmsLogic : public QObject
{
    Q_OBJECT
private slots:
    void sendSpeed_data();
    void sendSpeed();
    void listCheck();
    void takeAndPutFront();
    void listFiles();
    void accountFile();
    void lengthLine_data();
    void lengthLine();
    void screening_data();
    void screening();
    void requestUrls();
    void answerReading_data();
    void answerReading();
    void parsedDocuments();
    void loopFiveNumbers();
    void loopBatchSizes_data();
    void loopBatchSizes();
    void loopErrorsReturnBatch_data();
    void loopErrorsReturnBatch();
    void loopBalance();
    void loopKeepsBatchInFlight();
    void loopNeverLosesNumbers();
};

void TestSmsLogic::sendSpeed_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("speed");
    const std::pair<int, int> rows[] = {{0, 1},      {99, 1},     {100, 2},     {199, 2},
                                        {200, 10},   {999, 10},   {1000, 30},   {9999, 30},
                                        {10000, 50}, {99999, 50}, {100000, 80}, {1000000, 80}};
    for (auto [n, s] : rows)
        QTest::addRow("%d", n) << n << s;
}

void TestSmsLogic::sendSpeed()
{
    QFETCH(int, entries);
    QFETCH(int, speed);
    QCOMPARE(sendSpeedFor(entries), speed);
}

void TestSmsLogic::listCheck()
{
    std::vector<QString> entries = {
        u"13000000000"_s, u"12999999999"_s,    u" 18999999999\t"_s, u""_s,
        u"19000000000"_s, u"+8613800000000"_s, u"13800000000"_s,    u"1380000000x"_s,
        u"13800000000"_s,
    };
    const QStringList rejected = checkMobileList(entries);
    // Valid entries keep their order (and duplicates), without blanks.
    QCOMPARE(QStringList(entries.begin(), entries.end()),
             QStringList({u"13000000000"_s, u"18999999999"_s, u"13800000000"_s, u"13800000000"_s}));
    // Rejected entries as they stood, from the last to the first.
    QCOMPARE(rejected, QStringList({u"1380000000x"_s, u"+8613800000000"_s, u"19000000000"_s, u""_s,
                                    u"12999999999"_s}));

    std::vector<QString> valid = vec(numbers(3));
    QVERIFY(checkMobileList(valid).isEmpty());
    QCOMPARE(valid.size(), size_t(3));
}

void TestSmsLogic::takeAndPutFront()
{
    RecipientList r(vec({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}));
    QCOMPARE(r.takeFront(3), QStringList({u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(entriesOf(r), QStringList({u"d"_s, u"e"_s}));
    r.putFront({u"a"_s, u"b"_s, u"c"_s});
    QCOMPARE(entriesOf(r), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}));
    // A batch larger than the consumed front still goes back in order.
    r.putFront({u"x"_s, u"y"_s, u"z"_s, u"w"_s, u"v"_s, u"u"_s});
    QCOMPARE(entriesOf(r).first(7),
             QStringList({u"x"_s, u"y"_s, u"z"_s, u"w"_s, u"v"_s, u"u"_s, u"a"_s}));
    QCOMPARE(r.takeFront(100).size(), 11);
    QVERIFY(r.isEmpty());

    // Through many compactions the order holds.
    const QStringList all = numbers(20000);
    RecipientList big(vec(all));
    QStringList taken;
    while (!big.isEmpty()) {
        QStringList batch = big.takeFront(80);
        if (taken.size() % 800 == 0) { // now and then a batch comes back
            big.putFront(batch);
            batch = big.takeFront(80);
        }
        taken += batch;
    }
    QCOMPARE(taken, all);

    RecipientList sel(vec(numbers(6)));
    sel.removeRanges({{1, 2}, {4, 4}, {2, 3}});
    QCOMPARE(entriesOf(sel), QStringList({u"13000000000"_s, u"13000000005"_s}));
}

void TestSmsLogic::listFiles()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"LastMobileCode.Lst"_s);

    ListFiles::writeLines(path, QStringList{u"13000000000"_s, u"张三"_s, u""_s});
    QCOMPARE(readAll(path), QByteArray("13000000000\r\n\xD5\xC5\xC8\xFD\r\n\r\n"));
    ListFiles::writeLines(path, QStringList{});
    QCOMPARE(readAll(path), QByteArray());

    // CR LF, LF and lone CR all end a line; a last line without an end still counts.
    const std::vector<QString> lines =
        ListFiles::splitLines("a\r\nb\nc\rd\r\n\r\n\xC4\xE3\xBA\xC3");
    QCOMPARE(QStringList(lines.begin(), lines.end()),
             QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u""_s, u"你好"_s}));
    QVERIFY(ListFiles::splitLines("").empty());

    // A text GBK cannot hold is refused, and the file keeps what it had.
    ListFiles::writeLines(path, QStringList{u"13000000000"_s});
    QVERIFY_THROWS_EXCEPTION(FileError,
                             ListFiles::writeLines(path, QStringList{u"13000000001😀"_s}));
    QCOMPARE(readAll(path), QByteArray("13000000000\r\n"));

    // The message file: the text unchanged, line breaks included, no line end added.
    const QString msg = dir.filePath(u"SMSContent.Lst"_s);
    ListFiles::writeText(msg, u"您好\r\n周末\n快乐"_s);
    QCOMPARE(readAll(msg), Gbk::encode(u"您好\r\n周末\n快乐").bytes);
    QCOMPARE(ListFiles::readText(msg), u"您好\r\n周末\n快乐"_s);
    QVERIFY_THROWS_EXCEPTION(FileError, ListFiles::readLines(dir.filePath(u"none"_s)));
}

void TestSmsLogic::accountFile()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(u"SMS.ini"_s);
    const Gateway::Account empty = SmsSettings::readAccount(ini);
    QVERIFY(empty.entId.isEmpty() && empty.userName.isEmpty() && empty.password.isEmpty());

    const Gateway::Account a{u"企业 8"_s, u"张三"_s, u"密a=;#1 "_s};
    SmsSettings::writeAccount(ini, a);
    QCOMPARE(QFile::permissions(ini) & 0x0077, QFileDevice::Permissions()); // owner only
    const QByteArray bytes = readAll(ini);
    QVERIFY(bytes.contains(QByteArray("EntID=" + Gbk::encode(a.entId).bytes + "\r\n")));
    QVERIFY(bytes.contains(QByteArray("Username=" + Gbk::encode(a.userName).bytes)));
    QVERIFY(!bytes.contains(Gbk::encode(u"密").bytes)); // the password is not in clear
    // Hexadecimal of 7 GBK bytes... scrambled: twice as many characters as bytes.
    const qsizetype at = bytes.indexOf("userPass=") + 9;
    QCOMPARE(bytes.mid(at, bytes.indexOf('\r', at) - at).size(),
             Gbk::encode(a.password).bytes.size() * 2);

    const Gateway::Account back = SmsSettings::readAccount(ini);
    QCOMPARE(back.entId, a.entId);
    QCOMPARE(back.userName, a.userName);
    QCOMPARE(back.password, a.password);

    // A password GBK cannot hold is refused before anything is written.
    QVERIFY_THROWS_EXCEPTION(FileError, SmsSettings::writeAccount(ini, {u"x"_s, u"y"_s, u"😀"_s}));
    QCOMPARE(SmsSettings::readAccount(ini).entId, a.entId);

    QFile f(ini);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[comm]\r\nEntID=1\r\nuserPass=G\r\n");
    f.close();
    QCOMPARE(SmsSettings::readAccount(ini).password, QString());
}

void TestSmsLogic::lengthLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty") << QString() << u"信息长度:0字 按0条短信计费(70字计一条)"_s;
    QTest::newRow("70") << QString(70, u'好') << u"信息长度:70字 按1条短信计费(70字计一条)"_s;
    QTest::newRow("71 mixed") << (QString(69, u'a') + u"你 "_s)
                              << u"信息长度:71字 按2条短信计费(70字计一条)"_s;
    QTest::newRow("line break") << u"a\r\nb"_s << u"信息长度:4字 按1条短信计费(70字计一条)"_s;
    QTest::newRow("560") << QString(560, u'中') << u"信息长度:560字 按8条短信计费(70字计一条)"_s;
}

void TestSmsLogic::lengthLine()
{
    QFETCH(QString, text);
    QFETCH(QString, line);
    QCOMPARE(SmsContent::lengthLine(text), line);
}

void TestSmsLogic::screening_data()
{
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("found");
    QTest::newRow("only B") << QStringList{u"发票"_s, u"贷款"_s} << u"低息贷款"_s << u"贷款;"_s;
    QTest::newRow("both in file order")
        << QStringList{u"发票"_s, u"贷款"_s} << u"贷款发票"_s << u"发票;贷款;"_s;
    QTest::newRow("trailing blank") << QStringList{u"代开 "_s} << u"代开发票"_s << QString();
    QTest::newRow("trailing blank present")
        << QStringList{u"代开 "_s} << u"可代开 票"_s << u"代开 ;"_s;
    QTest::newRow("empty line never matches")
        << QStringList{QString(), u"x"_s} << u"abc"_s << QString();
    QTest::newRow("case-sensitive") << QStringList{u"VIP"_s} << u"vip"_s << QString();

    // A keyword whose GBK bytes straddle two characters of the message is not in it.
    const QByteArray bytes = Gbk::encode(u"啊阿").bytes; // B0 A1 B0 A2
    const QString straddling = Gbk::decode(bytes.mid(1, 2));
    QCOMPARE(straddling.size(), 1);
    QVERIFY(straddling != u"啊"_s && straddling != u"阿"_s);
    QTest::newRow("no match across characters")
        << QStringList{straddling} << u"啊阿"_s << QString();
}

void TestSmsLogic::screening()
{
    QFETCH(QStringList, keywords);
    QFETCH(QString, text);
    QFETCH(QString, found);
    QCOMPARE(SmsContent::screen(keywords, text), found);
}

void TestSmsLogic::requestUrls()
{
    const Gateway::Account a{u"E&1"_s, u"用户 名"_s, u"p=w#%+"_s};
    const QUrl send =
        Gateway::sendUrl(u"127.0.0.7"_s, a, u"13000000000,13000000001"_s, u"a&b=c#d%e+f g你好"_s);
    QCOMPARE(send.toEncoded(),
             QByteArray("http://127.0.0.7:8080/?CORPID=E%261&USERNAME=%D3%C3%BB%A7%20%C3%FB"
                        "&PASSWORD=p%3Dw%23%25%2B&EXTNO=&MOBILE=13000000000%2C13000000001"
                        "&CONTENT=a%26b%3Dc%23d%25e%2Bf%20g%C4%E3%BA%C3"));
    QCOMPARE(Gateway::balanceUrl(u"gw.test"_s, a).toEncoded(),
             QByteArray("http://gw.test:8080/Balance.asp?CORPID=E%261"
                        "&USERNAME=%D3%C3%BB%A7%20%C3%FB&PASSWORD=p%3Dw%23%25%2B"));
    QVERIFY(!Gateway::sendUrl(u"gw"_s, a, u"1"_s, u"😀"_s).isValid());
}

void TestSmsLogic::answerReading_data()
{
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<qint64>("value");
    QTest::newRow("zero") << answerPage(u"0"_s) << u"0"_s << true << qint64(0);
    QTest::newRow("code") << answerPage(u"-13"_s) << u"-13"_s << true << qint64(-13);
    QTest::newRow("colon") << answerPage(u"0:sent ok"_s) << u"0"_s << true << qint64(0);
    QTest::newRow("beyond 32 bits")
        << answerPage(u"99999999999"_s) << u"99999999999"_s << true << qint64(99999999999LL);
    QTest::newRow("beyond 64 bits")
        << answerPage(u"99999999999999999999"_s) << u"99999999999999999999"_s << false << qint64(0);
    QTest::newRow("lone sign") << answerPage(u"-"_s) << u"-"_s << false << qint64(0);
    QTest::newRow("blank") << answerPage(u" 0"_s) << u" 0"_s << false << qint64(0);
    QTest::newRow("element in body")
        << answerPage(u"<p>0</p>"_s) << QString() << false << qint64(0);
    QTest::newRow("no BODY") << u"<HTML>12<X>"_s << u"L>12"_s << false << qint64(0);
    QTest::newRow("no < after") << u"<BODY>5"_s << QString() << false << qint64(0);
    QTest::newRow("attribute") << u"<HTML><BODY x>7</BODY>"_s << u"x>7"_s << false << qint64(0);
}

void TestSmsLogic::answerReading()
{
    QFETCH(QString, markup);
    QFETCH(QString, result);
    QFETCH(bool, numeric);
    QFETCH(qint64, value);
    const QString text = Gateway::GetRtn(markup);
    QCOMPARE(text, result);
    const Gateway::Result r = Gateway::readResult(text);
    QCOMPARE(r.numeric, numeric);
    QCOMPARE(r.value, value);
}

void TestSmsLogic::parsedDocuments()
{
    // Tag names come out in upper case, so the body's start tag reads BODY.
    Gateway::Document d = Gateway::parseHtml("<html><head><title>t</title></head>"
                                             "<body>-5</body></html>");
    QVERIFY(d.hasBody);
    QCOMPARE(d.outerHtml, u"<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>-5</BODY></HTML>"_s);
    // A bare answer gets the document a browser builds around it.
    d = Gateway::parseHtml("0");
    QCOMPARE(d.outerHtml, u"<HTML><HEAD></HEAD><BODY>0</BODY></HTML>"_s);
    d = Gateway::parseHtml("<html><frameset><frame src=a></frameset></html>");
    QVERIFY(!d.hasBody);
    d = Gateway::parseHtml("<body class=\"a&quot;\">1 &lt; 2</body>");
    QCOMPARE(d.outerHtml, u"<HTML><HEAD></HEAD><BODY class=\"a&quot;\">1 &lt; 2</BODY></HTML>"_s);

    QCOMPARE(Gateway::errorText(u"-13"_s), u"余额不足"_s);
    QCOMPARE(Gateway::errorText(u"-999"_s), u"参数不全"_s);
    QCOMPARE(Gateway::errorText(u"-2"_s), QString());
}

void TestSmsLogic::loopFiveNumbers()
{
    RecipientList list(vec(numbers(5)));
    RecordingHost host;
    SendLoop loop(list, host, batchUrl);
    loop.setSendSpeed(sendSpeedFor(5));
    loop.start();
    QVERIFY(host.running);
    for (int i = 1; i <= 5; ++i) {
        loop.tick();
        QVERIFY(loop.busy());
        loop.tick(); // nothing while busy
        QCOMPARE(host.navigations.size(), i);
        QCOMPARE(mobileOf(host.navigations.last()), QString::number(13000000000LL + i - 1));
        QCOMPARE(host.statuses.last(), u"正在发送 %1 / 5 当前速度并行发送1条/次(秒)"_s.arg(i));
        loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)});
        QCOMPARE(host.accepted, i);
    }
    loop.tick();
    QCOMPARE(host.statuses.last(), u"发送完毕"_s);
    QVERIFY(!host.running);
    QCOMPARE(host.navigations.size(), 5);
    QVERIFY(!host.colours.contains(SendLoop::Colour::Red));
}

void TestSmsLogic::loopBatchSizes_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("speed");
    QTest::addColumn<QList<int>>("batches"); // run-length: size, times, size, times...
    QTest::newRow("5") << 5 << sendSpeedFor(5) << QList<int>{1, 5};
    QTest::newRow("150") << 150 << sendSpeedFor(150) << QList<int>{2, 70, 1, 10};
    // 5000: 30s until 50 left (4950 = 165 batches), then 2s down to 10, then 1s.
    QTest::newRow("5000") << 5000 << sendSpeedFor(5000) << QList<int>{30, 165, 2, 20, 1, 10};
    QTest::newRow("60 speed 30") << 60 << 30 << QList<int>{30, 1, 2, 10, 1, 10};
}

void TestSmsLogic::loopBatchSizes()
{
    QFETCH(int, count);
    QFETCH(int, speed);
    QFETCH(QList<int>, batches);
    RecipientList list(vec(numbers(count)));
    RecordingHost host;
    SendLoop loop(list, host, batchUrl);
    loop.setSendSpeed(speed);
    loop.start();
    QList<int> sizes;
    QStringList sent;
    while (host.running) {
        loop.tick();
        if (loop.busy()) {
            const QStringList batch = mobileOf(host.navigations.last()).split(u',');
            sizes << int(batch.size());
            sent += batch;
            loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)});
        }
    }
    QList<int> runs;
    for (qsizetype i = 0; i < sizes.size(); ++i) {
        if (!runs.isEmpty() && runs[runs.size() - 2] == sizes[i])
            ++runs.last();
        else
            runs << sizes[i] << 1;
    }
    QCOMPARE(runs, batches);
    QCOMPARE(sent, numbers(count));
    QCOMPARE(host.statuses.last(), u"发送完毕"_s);
    // The figure counts numbers handed over, ending at the total once.
    QCOMPARE(host.statuses.filter(u" %1 / %1 "_s.arg(count)).size(), 1);
}

void TestSmsLogic::loopErrorsReturnBatch_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("colour");
    using K = SendLoop::Answer::Kind;
    const int red = int(SendLoop::Colour::Red), keep = int(SendLoop::Colour::Keep);
    QTest::newRow("-13") << int(K::Document) << u"-13"_s << u"余额不足"_s << red;
    QTest::newRow("-2") << int(K::Document) << u"-2"_s << QString() << red;
    QTest::newRow("-5") << int(K::Document) << u"-5"_s
                        << u"登录账户错误，确认企业ID/用户名/密码均输入正确！"_s << red;
    QTest::newRow("garbage") << int(K::Document) << u"Service Unavailable"_s
                             << SendLoop::notConnectedText() << red;
    QTest::newRow("failed") << int(K::Failed) << QString() << SendLoop::notConnectedText() << red;
    QTest::newRow("no body") << int(K::NoBody) << QString() << SendLoop::networkFailureText()
                             << keep;
    QTest::newRow("timed out") << int(K::TimedOut) << QString() << SendLoop::networkFailureText()
                               << keep;
}

void TestSmsLogic::loopErrorsReturnBatch()
{
    QFETCH(int, kind);
    QFETCH(QString, body);
    QFETCH(QString, status);
    QFETCH(int, colour);
    // 14 entries: two per request (11 to 50 left).
    QStringList letters;
    for (char16_t c = u'a'; c <= u'n'; ++c)
        letters << QString(QChar(c));
    RecipientList list(vec(letters));
    RecordingHost host;
    SendLoop loop(list, host, batchUrl);
    loop.start();
    loop.tick();
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)}); // a, b accepted
    loop.tick();                                                         // c, d in flight
    QCOMPARE(loop.inFlight(), QStringList({u"c"_s, u"d"_s}));
    loop.answer({SendLoop::Answer::Kind(kind), answerPage(body)});
    QCOMPARE(host.statuses.last(), status);
    QCOMPARE(int(host.colours.last()), colour);
    QVERIFY(!host.running);
    QVERIFY(!loop.busy());
    QCOMPARE(entriesOf(list), letters.mid(2));
    QCOMPARE(host.accepted, 1);

    // Sending again starts from the top with the counters reset.
    loop.start();
    QCOMPARE(loop.sendTotal(), 12);
    loop.tick();
    QCOMPARE(mobileOf(host.navigations.last()), u"c,d"_s);
    QCOMPARE(host.statuses.last(), u"正在发送 2 / 12 当前速度并行发送2条/次(秒)"_s);
}

void TestSmsLogic::loopBalance()
{
    RecipientList list(vec(numbers(300)));
    RecordingHost host;
    SendLoop loop(list, host, batchUrl);
    const QUrl balance(u"http://gw.test:8080/Balance.asp?CORPID=e"_s);

    // Outside sending a refresh goes out at once; its answer fills both labels (via the host).
    loop.setSendSpeed(sendSpeedFor(300));
    loop.refreshBalance(balance);
    QCOMPARE(host.navigations, QList<QUrl>{balance});
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"99"_s)});
    QCOMPARE(host.balance, u"99"_s);
    QCOMPARE(host.statuses.last(), u"帐户余额：99 条"_s);
    QCOMPARE(host.colours.last(), SendLoop::Colour::Green);
    QCOMPARE(loop.sendSpeed(), 1); // a balance below 100 slows down

    // During a send, two refreshes before the next free tick give one query.
    loop.setSendSpeed(10);
    loop.start();
    loop.tick();
    QCOMPARE(mobileOf(host.navigations.last()).split(u',').size(), 10);
    loop.refreshBalance(balance);
    loop.refreshBalance(balance);
    loop.tick(); // busy: nothing
    QCOMPARE(host.navigations.size(), 2);
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)});
    loop.tick();
    QCOMPARE(host.navigations.size(), 3);
    QCOMPARE(host.navigations.last(), balance);
    QCOMPARE(loop.requestKind(), SendLoop::Request::Balance);
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"12345678901"_s)});
    QCOMPARE(host.balance, u"12345678901"_s); // beyond 32 bits is still a balance
    QCOMPARE(loop.sendSpeed(), 10);
    loop.tick();
    QCOMPARE(mobileOf(host.navigations.last()).split(u',').size(), 10);
    QVERIFY(!loop.deferredBalance());

    // A failing balance query stops the send but returns nothing of the list.
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)});
    loop.refreshBalance(balance);
    loop.tick();
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"-5"_s)});
    QVERIFY(!host.running);
    QCOMPARE(list.count(), 280);
}

void TestSmsLogic::loopKeepsBatchInFlight()
{
    RecipientList list(vec({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
    RecordingHost host;
    SendLoop loop(list, host, batchUrl);
    loop.setSendSpeed(1);
    const QUrl balance(u"http://gw.test:8080/Balance.asp"_s);

    // Interrupted with a batch in flight: an error answer still returns it.
    loop.start();
    loop.tick();
    loop.interrupt();
    QVERIFY(loop.sending());
    loop.refreshBalance(balance); // waits for the outstanding answer
    QCOMPARE(host.navigations.size(), 1);
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"-1"_s)});
    QCOMPARE(entriesOf(list), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));
    QCOMPARE(host.navigations.last(), balance); // issued once the answer came
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"500"_s)});
    QVERIFY(!loop.sending());

    // "发送" pressed again while a batch is in flight keeps it until its answer.
    loop.start();
    loop.tick(); // a in flight
    loop.start();
    QCOMPARE(loop.inFlight(), QStringList{u"a"_s});
    QCOMPARE(loop.sendTotal(), 3);
    loop.tick(); // still busy: nothing issued
    QCOMPARE(mobileOf(host.navigations.last()), u"a"_s);
    loop.answer({SendLoop::Answer::Kind::NoBody, QString()});
    QCOMPARE(entriesOf(list), QStringList({u"a"_s, u"b"_s, u"c"_s, u"d"_s}));

    // An accepted answer after an interrupt drops the batch.
    loop.start();
    loop.tick();
    loop.interrupt();
    loop.answer({SendLoop::Answer::Kind::Document, answerPage(u"0"_s)});
    QCOMPARE(entriesOf(list), QStringList({u"b"_s, u"c"_s, u"d"_s}));
    QVERIFY(!loop.sending());
}

void TestSmsLogic::loopNeverLosesNumbers()
{
    // Random answers, interrupts, restarts and refreshes: every number is either accepted
    // once or still in the list, in order, and never both.
    auto *rng = QRandomGenerator::global();
    const QStringList original = numbers(400);
    for (int round = 0; round < 40; ++round) {
        RecipientList list(vec(original));
        RecordingHost host;
        SendLoop loop(list, host, batchUrl);
        loop.setSendSpeed(int(rng->bounded(1, 40)));
        QStringList accepted;
        QString pendingNumbers;
        loop.start();
        for (int step = 0; step < 400; ++step) {
            const int what = int(rng->bounded(100));
            const qsizetype before = host.navigations.size();
            if (what < 45) {
                loop.tick();
            } else if (what < 85 && loop.busy()) {
                static const char16_t *bodies[] = {u"0", u"0:ok", u"-13", u"-2", u"x", u"5"};
                const int b = int(rng->bounded(7));
                const bool acceptedAnswer = b == 0 || b == 1 || b == 5;
                if (loop.requestKind() == SendLoop::Request::Send && acceptedAnswer && b < 6)
                    accepted += pendingNumbers.split(u',');
                if (b == 6)
                    loop.answer({SendLoop::Answer::Kind::TimedOut, QString()});
                else
                    loop.answer({SendLoop::Answer::Kind::Document,
                                 answerPage(QString::fromUtf16(bodies[b]))});
            } else if (what < 90) {
                loop.interrupt();
            } else if (what < 95) {
                loop.start();
            } else {
                loop.refreshBalance(QUrl(u"http://gw.test:8080/Balance.asp"_s));
            }
            if (host.navigations.size() > before && loop.requestKind() == SendLoop::Request::Send)
                pendingNumbers = mobileOf(host.navigations.last());
        }
        const QStringList left = entriesOf(list);
        QStringList inFlight = loop.inFlight();
        QCOMPARE(accepted.size() + inFlight.size() + left.size(), original.size());
        QStringList all = accepted;
        all += inFlight;
        all += left;
        QCOMPARE(all, original);
    }
}

QTEST_GUILESS_MAIN(TestSmsLogic)
#include "tst_smslogic.moc"
