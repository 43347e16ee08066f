// Hostile texts typed into the SMS account fields, the message text and the list files: each is
// stored and sent exactly as typed, or refused with an error and nothing changed. The contact
// fields are in tst_hostilecontacts.cpp.
#include "GatewaySim.h"
#include "HostileTexts.h"

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

#include <memory>

using namespace Qt::StringLiterals;

namespace {
const QHostAddress simAddress(u"127.0.0.89"_s);

std::unique_ptr<QTemporaryDir> scratchDir;
std::unique_ptr<GatewaySim> simServer;

QTemporaryDir *scratch()
{
    return scratchDir.get();
}

GatewaySim &sim()
{
    return *simServer;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

void TestHostileInput::initTestCase()
{
    scratchDir = std::make_unique<QTemporaryDir>();
    simServer = std::make_unique<GatewaySim>();
    QVERIFY(scratch()->isValid());
    QVERIFY2(sim().listen(simAddress, Gateway::Port), qPrintable(sim().errorString()));
}

void TestHostileInput::cleanupTestCase()
{
    simServer.reset();
    scratchDir.reset();
}

void TestHostileInput::fields_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    for (const char *field : {"EntID", "Username", "password", "message", "list entry"})
        for (const auto &[name, text] : hostileTexts())
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
        const QString path = scratch()->filePath(u"tmp.txt"_s);
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
        const QString ini = scratch()->filePath(u"SMS.ini"_s);
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
    sim().clearLog();
    GatewayWorker worker;
    worker.setTimeout(10000);
    QSignalSpy done(&worker, &GatewayWorker::documentComplete);
    worker.navigate(url);
    QVERIFY(done.wait(15000));
    QCOMPARE(sim().requests().size(), 1);
    const GatewaySim::Request r = sim().requests().constFirst();
    QCOMPARE(r.kind, GatewaySim::Kind::Send);
    QCOMPARE(r.corpId, account.entId);
    QCOMPARE(r.userName, account.userName);
    QCOMPARE(r.password, account.password);
    QCOMPARE(r.content, content);
    QCOMPARE(r.mobiles, QStringList{u"13800000000"_s});
    QCOMPARE(r.keys, (QStringList{u"CORPID"_s, u"USERNAME"_s, u"PASSWORD"_s, u"EXTNO"_s,
                                  u"MOBILE"_s, u"CONTENT"_s}));
}
