// Hostile texts typed into the SMS account fields, the message text and the list files: each is
// stored and sent exactly as typed, or refused with an error and nothing changed.
#include "GatewaySim.h"

#include "common/FileError.h"
#include "common/GbkCodec.h"
#include "sms/Gateway.h"
#include "sms/GatewayWorker.h"
#include "sms/ListFiles.h"
#include "sms/SmsSettings.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QHostAddress simAddress(u"127.0.0.89"_s);

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fields_data();
    void fields();

private:
    QTemporaryDir m_dir;
    GatewaySim m_sim;
};

void TestHostileInput::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(m_sim.listen(simAddress, Gateway::Port), qPrintable(m_sim.errorString()));
}

void TestHostileInput::fields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    const QList<std::pair<const char *, QString>> texts = {
        {"quote", u"O'Brien"_s},
        {"double quote", u"say \"hi\""_s},
        {"backslash", u"a\\b\\"_s},
        {"percent", u"100%25 %s %n"_s},
        {"underscore", u"a_b_"_s},
        {"semicolon", u"a;b;"_s},
        {"comment dashes", u"x -- y"_s},
        {"block comment", u"/* x */"_s},
        {"url characters", u"a&b=c?d#e+f"_s},
        {"10000 characters", QString(10000, u'字').replace(0, 10, u"'\";--/*%_\\"_s)},
        {"emoji", u"张😀"_s},
        {"euro", u"5€"_s},
        {"empty", QString()},
    };
    for (const char *field : {"EntID", "Username", "password", "message", "list entry"})
        for (const auto &[name, text] : texts)
            QTest::addRow("%s: %s", field, name) << QString::fromLatin1(field) << text;
}

void TestHostileInput::fields()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    const bool storable = Gbk::canEncode(text);
    Gateway::Account account{u"1001"_s, u"demo"_s, u"secret"_s};
    QString content = u"你好"_s;
    if (field == u"EntID"_s)
        account.entId = text;
    else if (field == u"Username"_s)
        account.userName = text;
    else if (field == u"password"_s)
        account.password = text;
    else if (field == u"message"_s)
        content = text;

    if (field == u"list entry"_s) {
        const QString path = m_dir.filePath(u"tmp.txt"_s);
        ListFiles::writeLines(path, std::vector<QString>{u"13800000000"_s});
        const QByteArray before = readAll(path);
        const std::vector<QString> list{u"13800000001"_s, text, u"13800000002"_s};
        if (!storable) {
            QVERIFY_THROWS_EXCEPTION(FileError, ListFiles::writeLines(path, list));
            QCOMPARE(readAll(path), before);
        } else {
            ListFiles::writeLines(path, list);
            QCOMPARE(ListFiles::readLines(path), list);
        }
        return;
    }

    if (field != u"message"_s) {
        // The account file keeps exactly what was typed, or refuses and keeps what it held.
        const QString ini = m_dir.filePath(u"SMS.ini"_s);
        const Gateway::Account old{u"7"_s, u"old"_s, u"oldpw"_s};
        SmsSettings::writeAccount(ini, old);
        const QByteArray before = readAll(ini);
        if (!storable) {
            QVERIFY_THROWS_EXCEPTION(FileError, SmsSettings::writeAccount(ini, account));
            QCOMPARE(readAll(ini), before);
        } else {
            SmsSettings::writeAccount(ini, account);
            const Gateway::Account back = SmsSettings::readAccount(ini);
            QCOMPARE(back.entId, account.entId);
            QCOMPARE(back.userName, account.userName);
            QCOMPARE(back.password, account.password);
        }
    }

    // The request carries every value whole: nothing cut, nothing added.
    const QUrl url = Gateway::sendUrl(simAddress.toString(), account, u"13800000000"_s, content);
    if (!storable) {
        QVERIFY2(!url.isValid(), "a text GBK lacks is never sent altered");
        return;
    }
    QVERIFY(url.isValid());
    m_sim.clearLog();
    GatewayWorker worker;
    worker.setTimeout(10000);
    QSignalSpy done(&worker, &GatewayWorker::documentComplete);
    worker.navigate(url);
    QVERIFY(done.wait(15000));
    QCOMPARE(m_sim.requests().size(), 1);
    const GatewaySim::Request r = m_sim.requests().constFirst();
    QCOMPARE(r.kind, GatewaySim::Kind::Send);
    QCOMPARE(r.corpId, account.entId);
    QCOMPARE(r.userName, account.userName);
    QCOMPARE(r.password, account.password);
    QCOMPARE(r.content, content);
    QCOMPARE(r.mobiles, QStringList{u"13800000000"_s});
    QCOMPARE(r.keys, (QStringList{u"CORPID"_s, u"USERNAME"_s, u"PASSWORD"_s, u"EXTNO"_s,
                                  u"MOBILE"_s, u"CONTENT"_s}));
}

QTEST_GUILESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"
