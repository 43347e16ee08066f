#include "DataTests.h"
#include "TestAppFolder.h"

#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int runPeer(const QStringList &args)
{
    QProcess peer;
    peer.start(QStringLiteral(DATA_PEER_PATH), args);
    if (!peer.waitForFinished(30000))
        return -1;
    return peer.exitStatus() == QProcess::NormalExit ? peer.exitCode() : -1;
}

} // namespace

void TestConcurrency::connectionHoldsSharedLock()
{
    TestAppFolder app;
    QCOMPARE(runPeer({u"lock-ex"_s, app.dbPath()}), 0);
    Connection connection;
    connection.setConnectionString(app.connectionString());
    connection.open();
    // A whole-file copy (which locks exclusively) cannot run under an open connection.
    QCOMPARE(runPeer({u"lock-ex"_s, app.dbPath()}), 3);
    Connection second;
    second.setConnectionString(app.connectionString());
    second.open(); // shared: a second connection is fine
    second.close();
    QCOMPARE(runPeer({u"lock-ex"_s, app.dbPath()}), 3);
    connection.close();
    QCOMPARE(runPeer({u"lock-ex"_s, app.dbPath()}), 0);
}

void TestConcurrency::exclusiveLockBlocksOpen()
{
    TestAppFolder app;
    QProcess holder;
    holder.start(QStringLiteral(DATA_PEER_PATH), {u"hold-ex"_s, app.dbPath()});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("locked"));

    Connection connection;
    connection.setConnectionString(app.connectionString());
    QVERIFY_THROWS_EXCEPTION(DbError, connection.open());
    QVERIFY(!connection.isConnected());

    holder.write("done\n");
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitCode(), 0);
    connection.open();
    QVERIFY(connection.isConnected());
}

void TestConcurrency::twoProcessesShareTheFile()
{
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    QCOMPARE(c, 1);
    constexpr int count = 150;
    QProcess peer;
    peer.start(QStringLiteral(DATA_PEER_PATH),
               {u"insert"_s, app.connectionString(), QString::number(count), u"P"_s});
    QVERIFY(peer.waitForStarted(30000));

    Connection connection;
    connection.setConnectionString(app.connectionString());
    DataSet all(&connection);
    all.setCommandText(u"Select * from TLinker Order by Linker"_s);
    int seenMax = 0;
    for (int i = 0; i < count; ++i) {
        connection.execute(u"Insert into TLinker (ClassID,Linker,PYCode,Birthday) "
                           u"Values(1,'L%1','','1899-12-30')"_s.arg(i));
        all.close();
        all.open();
        QVERIFY(all.recordCount() > i);
        seenMax = all.recordCount();
    }
    QVERIFY2(peer.waitForFinished(60000), "peer did not finish");
    QCOMPARE(peer.exitCode(), 0);
    QCOMPARE(peer.readAllStandardOutput().trimmed(), QByteArray::number(count));
    QVERIFY(seenMax >= count);

    all.close();
    all.open();
    QCOMPARE(all.recordCount(), 2 * count);
    DataSet own(&connection);
    own.setCommandText(u"Select count(*) from TLinker where Linker Like 'p%'"_s);
    own.open();
    QCOMPARE(own.asInteger(u"count(*)"_s), count);
}
