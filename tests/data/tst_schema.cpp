#include "DataTests.h"
#include "TestAppFolder.h"

#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/PinyinCollation.h"
#include "data/Schema.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList columnsOf(const TestAppFolder &app, const QString &table)
{
    Connection connection;
    connection.setConnectionString(app.connectionString());
    DataSet ds(&connection);
    ds.setCommandText(u"PRAGMA table_info("_s + table + u')');
    ds.open();
    QStringList names;
    for (ds.first(); !ds.eof(); ds.next())
        names << ds.asString(u"name"_s);
    return names;
}

} // namespace

void TestSchema::tableLayout()
{
    TestAppFolder app;
    QCOMPARE(
        columnsOf(app, u"TLinker"_s),
        (QStringList{u"ID"_s, u"ClassID"_s, u"Linker"_s, u"PYCode"_s, u"Job"_s, u"Tele"_s,
                     u"MobileCode"_s, u"HomeTele"_s, u"Fax"_s, u"QICQ"_s, u"WW"_s, u"ZFBCode"_s,
                     u"ALWW"_s, u"EMail"_s, u"Birthday"_s, u"Address"_s, u"Fancy"_s, u"Desp"_s}));
    QCOMPARE(columnsOf(app, u"TLinkerClass"_s), (QStringList{u"ID"_s, u"TitleName"_s}));
    QCOMPARE(app.queryColumn(u"Select ClientVer from TPara"_s),
             QStringList{Schema::initialClientVersion()});

    // IDs come from the database, and are not reused after a delete.
    const qint64 first = app.addCategory(u"a"_s);
    app.exec(u"Delete from TLinkerClass where ID=%1"_s.arg(first));
    QVERIFY(app.addCategory(u"b"_s) > first);
}

void TestSchema::textLengths_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("length");
    QTest::newRow("Linker") << u"TLinker"_s << u"Linker"_s << 30;
    QTest::newRow("Job") << u"TLinker"_s << u"Job"_s << 20;
    QTest::newRow("ALWW") << u"TLinker"_s << u"ALWW"_s << 20;
    QTest::newRow("Desp") << u"TLinker"_s << u"Desp"_s << 250;
    QTest::newRow("PYCode") << u"TLinker"_s << u"PYCode"_s << 60;
    QTest::newRow("TitleName") << u"TLinkerClass"_s << u"TitleName"_s << 50;
    QTest::newRow("ClientVer") << u"TPara"_s << u"ClientVer"_s << 50;
}

void TestSchema::textLengths()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(int, length);
    QCOMPARE(Schema::maxLength(table, column), length);
    TestAppFolder app;
    // Lengths count characters, not bytes: a name of 30 hanzi fits.
    const QString fits(length, u'张');
    QCOMPARE(app.exec(u"Insert into %1 (%2) Values('%3')"_s.arg(table, column, fits)), 1);
    QVERIFY_THROWS_EXCEPTION(
        DbError, app.exec(u"Insert into %1 (%2) Values('%3')"_s.arg(table, column, fits + u'x')));
    QVERIFY_THROWS_EXCEPTION(DbError,
                             app.exec(u"Update %1 Set %2='%3'"_s.arg(table, column, fits + u'x')));
    // The empty text is accepted.
    QCOMPARE(app.exec(u"Insert into %1 (%2) Values('')"_s.arg(table, column)), 1);
}

void TestSchema::birthday_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QDateTime>("read");
    const auto at = [](int y, int m, int d, int h = 0, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::UTC);
    };
    QTest::newRow("date") << u"'1985-10-01'"_s << true << at(1985, 10, 1);
    QTest::newRow("day 0") << u"'1899-12-30'"_s << true << at(1899, 12, 30);
    QTest::newRow("leap day") << u"'2024-02-29'"_s << true << at(2024, 2, 29);
    QTest::newRow("date and time")
        << u"'2020-01-01 08:30:15'"_s << true << at(2020, 1, 1, 8, 30, 15);
    QTest::newRow("serial 0") << u"0"_s << true << at(1899, 12, 30);
    QTest::newRow("serial 36526.5") << u"36526.5"_s << true << at(2000, 1, 1, 12);
    QTest::newRow("null") << u"NULL"_s << true << QDateTime();
    QTest::newRow("no such day") << u"'2023-02-29'"_s << false << QDateTime();
    QTest::newRow("month 13") << u"'2023-13-01'"_s << false << QDateTime();
    QTest::newRow("empty") << u"''"_s << false << QDateTime();
    QTest::newRow("words") << u"'tomorrow'"_s << false << QDateTime();
    QTest::newRow("short form") << u"'1985-1-1'"_s << false << QDateTime();
}

void TestSchema::birthday()
{
    QFETCH(QString, literal);
    QFETCH(bool, accepted);
    QFETCH(QDateTime, read);
    TestAppFolder app;
    const QString insert =
        u"Insert into TLinker (ClassID,Linker,Birthday) Values(1,'a',"_s + literal + u')';
    if (!accepted) {
        QVERIFY_THROWS_EXCEPTION(DbError, app.exec(insert));
        return;
    }
    QCOMPARE(app.exec(insert), 1);
    Connection connection;
    connection.setConnectionString(app.connectionString());
    DataSet ds(&connection);
    ds.setCommandText(u"Select * from TLinker"_s);
    ds.open();
    QCOMPARE(ds.asDateTime(u"Birthday"_s), read);
    QCOMPARE(ds.isNull(u"Birthday"_s), !read.isValid());
}

void TestSchema::dateSerials()
{
    QCOMPARE(DateSerial::fromDate(QDate(1899, 12, 30)), 0);
    QCOMPARE(DateSerial::fromDate(QDate(1927, 5, 18)), 10000);
    QCOMPARE(DateSerial::toDate(36526), QDate(2000, 1, 1));
    QCOMPARE(DateSerial::toDate(-1), QDate(1899, 12, 29));
    // Negative serials keep the time of day as a positive fraction.
    QCOMPARE(DateSerial::toDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    const QDateTime noon(QDate(2000, 1, 1), QTime(12, 0), Qt::UTC);
    QCOMPARE(DateSerial::toDateTime(DateSerial::fromDateTime(noon)), noon);
}

void TestSchema::textComparisonIgnoresCase_data()
{
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("= initials") << u"PYCode='zs'"_s << QStringList{u"张三"_s};
    QTest::newRow("= mixed") << u"Linker='TOM李'"_s << QStringList{u"Tom李"_s};
    QTest::newRow("<>") << u"PYCode<>'ZS'"_s << QStringList{u"Tom李"_s, u"李四"_s};
    QTest::newRow("like initials") << u"PYCode like '%zs%'"_s << QStringList{u"张三"_s};
    QTest::newRow("like hanzi") << u"Linker Like '%李%'"_s << QStringList{u"Tom李"_s, u"李四"_s};
    QTest::newRow("like latin") << u"Linker Like '%om%'"_s << QStringList{u"Tom李"_s};
    QTest::newRow("like underscore") << u"Linker Like '李_'"_s << QStringList{u"李四"_s};
    QTest::newRow("search filter")
        << u"1=1  And ((Linker Like '%ZS%') Or (PYCode like '%ZS%'))"_s << QStringList{u"张三"_s};
}

void TestSchema::textComparisonIgnoresCase()
{
    QFETCH(QString, condition);
    QFETCH(QStringList, found);
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    app.addContacts(c, {{.linker = u"张三"_s, .pyCode = u"ZS"_s},
                        {.linker = u"Tom李"_s, .pyCode = u"TomL"_s},
                        {.linker = u"李四"_s, .pyCode = u"LS"_s}});
    QStringList names =
        app.queryColumn(u"Select Linker from TLinker where "_s + condition + u" Order by ID"_s);
    QCOMPARE(names, found);
}

void TestSchema::pinyinOrder()
{
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    // Stored out of order; 曾 (zeng) and 单 (shan) sort by their GBK codes.
    const QStringList stored{u"张三"_s,   u"陈静"_s, u"😀笑"_s, u"zoe"_s,    u"白云"_s,  u"张"_s,
                             u"曾国华"_s, u"安然"_s, u"Bob"_s, u"单立新"_s, u"alice"_s, u"张伟"_s};
    QList<TestAppFolder::Contact> contacts;
    for (const QString &name : stored)
        contacts.append({.linker = name});
    app.addContacts(c, contacts);
    const QStringList expected{u"alice"_s,  u"Bob"_s,    u"zoe"_s, u"安然"_s, u"白云"_s, u"陈静"_s,
                               u"单立新"_s, u"曾国华"_s, u"张"_s,  u"张三"_s, u"张伟"_s, u"😀笑"_s};
    QCOMPARE(app.queryColumn(u"Select Linker from TLinker where 1=1  Order by Linker"_s), expected);

    for (const QString &name : stored)
        app.exec(u"Insert into TLinkerClass (TitleName) Values('%1')"_s.arg(name));
    QCOMPARE(app.queryColumn(u"Select TitleName from TLinkerClass where TitleName<>'客户' "
                             u"Order by TitleName"_s),
             expected);
}

void TestSchema::pinyinCompareAnyBytes()
{
    // Stored text need not be valid UTF-8; the order stays total and never reads past the end.
    const QByteArray texts[] = {
        "",         "A", "a", "ab", "\xE5", "\xE5\xBC", "\xE5\xBC\xA0", "\xFF\xFE", "\xF0\x9F\x98",
        "\xC0\x80", "b"};
    for (const QByteArray &x : texts) {
        QCOMPARE(Pinyin::compare(x.constData(), int(x.size()), x.constData(), int(x.size())), 0);
        for (const QByteArray &y : texts) {
            const int xy =
                Pinyin::compare(x.constData(), int(x.size()), y.constData(), int(y.size()));
            const int yx =
                Pinyin::compare(y.constData(), int(y.size()), x.constData(), int(x.size()));
            QCOMPARE(xy, -yx);
        }
    }
    QCOMPARE(Pinyin::compare("A", 1, "a", 1), 0);
}

void TestSchema::mobileCodeNotEmptyExcludesNull()
{
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    app.addContacts(c, {{.linker = u"有手机"_s, .mobileCode = u"13800000001"_s},
                        {.linker = u"空号码"_s, .mobileCode = u""_s},
                        {.linker = u"无号码"_s, .mobileIsNull = true},
                        {.linker = u"空格"_s, .mobileCode = u" "_s}});
    QCOMPARE(app.queryValue(u"Select count(*) from TLinker where MobileCode is null"_s), u"1"_s);
    QCOMPARE(app.queryColumn(u"Select Linker from TLinker where MobileCode<>'' Order by ID"_s),
             (QStringList{u"有手机"_s, u"空格"_s}));
    QCOMPARE(app.queryColumn(u"Select Linker from TLinker where MobileCode<>''  and ClassID=%1 "
                             u"And ((Linker Like '%手%') Or (PYCode like '%手%'))"_s.arg(c)),
             QStringList{u"有手机"_s});
    QCOMPARE(app.queryValue(u"Select count(*) from TLinker where 1=1 "_s), u"4"_s);
}
