#include "DataTests.h"
#include "TestAppFolder.h"

#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/uDM.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

enum class Damage
{
    Missing,
    WrongPassword,
    NotADatabase,
    EmptyFile,
    UnknownProvider
};

} // namespace

Q_DECLARE_METATYPE(Damage)

void TestConnection::openFailures_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::newRow("missing file") << Damage::Missing;
    QTest::newRow("wrong password") << Damage::WrongPassword;
    QTest::newRow("not a database") << Damage::NotADatabase;
    QTest::newRow("empty file") << Damage::EmptyFile;
    QTest::newRow("unknown provider") << Damage::UnknownProvider;
}

void TestConnection::openFailures()
{
    QFETCH(Damage, damage);
    TestAppFolder app;
    QVERIFY(app.isValid());
    QString connectionString = app.connectionString();
    QFile file(app.dbPath());
    switch (damage) {
    case Damage::Missing:
        QVERIFY(file.remove());
        break;
    case Damage::WrongPassword:
        connectionString.replace(Schema::databasePassword(), u"qmzt51739261"_s);
        break;
    case Damage::NotADatabase:
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray(4096, 'x'));
        file.close();
        break;
    case Damage::EmptyFile:
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        break;
    case Damage::UnknownProvider:
        connectionString.replace(u"Provider=SQLCipher"_s, u"Provider=Other.Engine"_s);
        break;
    }
    const QByteArray before = app.dbBytes();

    Connection connection;
    connection.setConnectionString(connectionString);
    QVERIFY_THROWS_EXCEPTION(DbError, connection.open());
    QVERIFY(!connection.isConnected());
    QVERIFY(!connection.handle());
    // The file is neither created nor touched.
    QCOMPARE(QFile::exists(app.dbPath()), damage != Damage::Missing);
    QCOMPARE(app.dbBytes(), before);

    DataSet ds(&connection);
    ds.setCommandText(u"Select * from TPara"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.open());
    QVERIFY(!ds.isOpen());
}

void TestConnection::folderNamesIgnoreCase()
{
    TestAppFolder app;
    Connection connection;
    connection.setConnectionString(TDM::connectionStringFor(app.path(), u"db/zari.DAT"_s));
    connection.open();
    QVERIFY(connection.isConnected());
    QCOMPARE(connection.execute(u"Update TPara Set ClientVer='2027010100'"_s), 1);
    connection.close();
    QCOMPARE(app.queryValue(u"Select ClientVer from TPara"_s), u"2027010100"_s);
    QVERIFY(!QDir(app.path() + u"db"_s).exists());
}

void TestConnection::closeClosesDatasets()
{
    TestAppFolder app;
    app.addCategory(u"客户"_s);
    Connection connection;
    connection.setConnectionString(app.connectionString());
    DataSet ds(&connection);
    ds.setCommandText(u"Select * from TLinkerClass"_s);
    // Opening a dataset connects its connection.
    ds.open();
    QVERIFY(connection.isConnected());
    QCOMPARE(ds.recordCount(), 1);

    QSignalSpy reset(&ds, &DataSet::wasReset);
    connection.close();
    QVERIFY(!connection.isConnected());
    QVERIFY(!ds.isOpen());
    QCOMPARE(reset.count(), 1);

    ds.open();
    QVERIFY(connection.isConnected());
    QCOMPARE(ds.asString(u"TitleName"_s), u"客户"_s);
}

void TestConnection::executeRejectsBadText_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << u"   "_s;
    QTest::newRow("syntax") << u"Updat TPara Set ClientVer='x'"_s;
    QTest::newRow("second statement") << u"Update TPara Set ClientVer='x'; Delete from TPara"_s;
    QTest::newRow("no such table") << u"Delete from TNothing"_s;
}

void TestConnection::executeRejectsBadText()
{
    QFETCH(QString, sql);
    TestAppFolder app;
    Connection connection;
    connection.setConnectionString(app.connectionString());
    QVERIFY_THROWS_EXCEPTION(DbError, connection.execute(sql));
    connection.close();
    QCOMPARE(app.queryColumn(u"Select ClientVer from TPara"_s),
             QStringList{Schema::initialClientVersion()});
}
