#include "DataTests.h"
#include "TestAppFolder.h"

#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A folder with one category and three contacts, and a dataset over them in name order.
struct Fixture
{
    TestAppFolder app;
    qint64 classId = 0;
    QList<qint64> ids; // 陈静, 王芳, 张伟
    Connection connection;
    std::unique_ptr<DataSet> ds;

    explicit Fixture(const QString &sql = u"Select * from TLinker where 1=1  Order by Linker"_s)
    {
        classId = app.addCategory(u"客户"_s);
        ids = app.addContacts(classId,
                              {{.linker = u"陈静"_s, .job = u"客服"_s, .birthday = u"1995-12-25"_s},
                               {.linker = u"王芳"_s, .mobileCode = u"13916543210"_s},
                               {.linker = u"张伟"_s, .job = u"采购经理"_s}});
        connection.setConnectionString(app.connectionString());
        ds = std::make_unique<DataSet>(&connection);
        ds->setCommandText(sql);
    }
};

QStringList names(const DataSet &ds)
{
    QStringList result;
    const int linker = ds.fieldIndex(u"Linker"_s);
    for (int row = 0; row < ds.recordCount(); ++row)
        result << ds.text(row, linker);
    return result;
}

} // namespace

void TestDataSet::afterScrollSequence()
{
    Fixture f;
    DataSet &ds = *f.ds;
    QSignalSpy scrolled(&ds, &DataSet::afterScroll);
    QStringList seen;
    connect(&ds, &DataSet::afterScroll, &ds, [&] { seen << ds.asString(u"Linker"_s); });

    ds.open();
    QCOMPARE(seen, QStringList{u"陈静"_s});
    QVERIFY(ds.bof());
    QVERIFY(!ds.eof());

    ds.next();
    ds.next();
    QCOMPARE(seen.size(), 3);
    ds.next(); // past the last row: no move
    QVERIFY(ds.eof());
    QCOMPARE(scrolled.count(), 3);
    QCOMPARE(ds.asString(u"Linker"_s), u"张伟"_s);

    ds.prior();
    ds.first();
    ds.prior(); // before the first row: no move
    QVERIFY(ds.bof());
    ds.last();
    ds.moveTo(1);
    QCOMPARE(seen, (QStringList{u"陈静"_s, u"王芳"_s, u"张伟"_s, u"王芳"_s, u"陈静"_s, u"张伟"_s,
                                u"王芳"_s}));

    // An appended row is current at once, without an ID.
    QStringList idsSeen;
    connect(&ds, &DataSet::afterScroll, &ds, [&] { idsSeen << ds.asString(u"ID"_s); });
    ds.append();
    QCOMPARE(scrolled.count(), 8);
    QCOMPARE(idsSeen, QStringList{QString()});
    QCOMPARE(ds.recNo(), 3);
    ds.cancel();
    QCOMPARE(scrolled.count(), 8);
    QCOMPARE(ds.recNo(), 1);

    ds.deleteRow();
    QCOMPARE(scrolled.count(), 9);
    QCOMPARE(ds.asString(u"Linker"_s), u"张伟"_s);
    ds.close();
    QCOMPARE(scrolled.count(), 9);
}

void TestDataSet::emptyResultRaisesNoScroll()
{
    Fixture f(u"Select * from TLinker where MobileCode='none'"_s);
    DataSet &ds = *f.ds;
    QSignalSpy scrolled(&ds, &DataSet::afterScroll);
    QSignalSpy reset(&ds, &DataSet::wasReset);
    ds.open();
    QVERIFY(ds.isOpen());
    QVERIFY(ds.isEmpty());
    QVERIFY(ds.eof());
    QVERIFY(ds.bof());
    QCOMPARE(ds.recNo(), -1);
    ds.first();
    ds.next();
    QCOMPARE(scrolled.count(), 0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(ds.asString(u"Linker"_s), QString());
    QCOMPARE(ds.fieldNames().size(), 18);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.edit());
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRow());
}

void TestDataSet::fieldAccess()
{
    Fixture f;
    f.app.exec(u"Update TLinker Set Job=NULL where ID=%1"_s.arg(f.ids[1]));
    DataSet &ds = *f.ds;
    ds.open();
    QCOMPARE(ds.asString(u"linker"_s), u"陈静"_s);
    QCOMPARE(ds.asString(0), QString::number(f.ids[0]));
    QCOMPARE(ds.asInteger(u"classid"_s), f.classId);
    QCOMPARE(ds.asDateTime(u"BIRTHDAY"_s).date(), QDate(1995, 12, 25));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.asString(u"NoSuchField"_s));
    QVERIFY_THROWS_EXCEPTION(DbError, ds.asInteger(u"Linker"_s));
    ds.next();
    QVERIFY(ds.isNull(u"Job"_s));
    QCOMPARE(ds.asString(u"Job"_s), QString());
    QVERIFY(!ds.isNull(u"Tele"_s));
    QCOMPARE(ds.asString(u"Tele"_s), QString());
    QCOMPARE(ds.value(1, ds.fieldIndex(u"MobileCode"_s)).toString(), u"13916543210"_s);
}

void TestDataSet::appendedRowGetsIdAndStaysLast()
{
    Fixture f;
    DataSet &ds = *f.ds;
    ds.open();
    QSignalSpy inserted(&ds, &DataSet::rowInserted);
    ds.append();
    QCOMPARE(ds.state(), DataSet::State::Insert);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().first().toInt(), 3);
    ds.setField(u"ClassID"_s, f.classId);
    ds.setField(u"Linker"_s, u"安然"_s);
    ds.setField(u"Birthday"_s, QDate(1993, 12, 12));
    QCOMPARE(ds.asString(u"Linker"_s), u"安然"_s);
    ds.post();
    QCOMPARE(ds.state(), DataSet::State::Browse);

    const qint64 id = ds.asInteger(u"ID"_s);
    QCOMPARE(f.app.queryValue(u"Select max(ID) from TLinker"_s), QString::number(id));
    QVERIFY(!f.ids.contains(id));
    // The new row stays at the end until the dataset is opened again.
    QCOMPARE(names(ds), (QStringList{u"陈静"_s, u"王芳"_s, u"张伟"_s, u"安然"_s}));
    QCOMPARE(ds.asString(u"Birthday"_s), u"1993-12-12"_s);
    ds.close();
    ds.open();
    QCOMPARE(names(ds), (QStringList{u"安然"_s, u"陈静"_s, u"王芳"_s, u"张伟"_s}));
    QVERIFY(ds.locate(id));
    QCOMPARE(ds.asInteger(u"ClassID"_s), f.classId);
}

void TestDataSet::failedPostLeavesFileUnchanged_data()
{
    QTest::addColumn<bool>("appending");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("edit, name too long") << false << u"Linker"_s << QVariant(QString(31, u'名'));
    QTest::newRow("edit, not a date") << false << u"Birthday"_s << QVariant(u"2023-02-29"_s);
    QTest::newRow("edit, no such column") << false << u"Nothing"_s << QVariant(u"x"_s);
    QTest::newRow("append, name too long") << true << u"Linker"_s << QVariant(QString(31, u'a'));
    QTest::newRow("append, empty birthday") << true << u"Birthday"_s << QVariant(u""_s);
}

void TestDataSet::failedPostLeavesFileUnchanged()
{
    QFETCH(bool, appending);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    Fixture f(u"Select ID, ClassID, Linker, Birthday from TLinker Order by Linker"_s);
    DataSet &ds = *f.ds;
    ds.open();
    ds.moveTo(1);
    const QByteArray before = f.app.dbBytes();

    if (appending)
        ds.append();
    else
        ds.edit();
    const int row = ds.recNo();
    if (ds.fieldIndex(field) < 0) {
        QVERIFY_THROWS_EXCEPTION(DbError, ds.setField(field, value));
    } else {
        ds.setField(u"Linker"_s, u"改名"_s);
        ds.setField(field, value);
        QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    }
    QCOMPARE(ds.state(), appending ? DataSet::State::Insert : DataSet::State::Edit);
    QCOMPARE(ds.recNo(), row);
    QCOMPARE(f.app.dbBytes(), before);

    ds.cancel();
    QCOMPARE(ds.state(), DataSet::State::Browse);
    QCOMPARE(ds.recordCount(), 3);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(ds.asString(u"Linker"_s), u"王芳"_s);
    QCOMPARE(f.app.dbBytes(), before);
}

void TestDataSet::editWritesAnyText()
{
    Fixture f;
    DataSet &ds = *f.ds;
    ds.open();
    QSignalSpy changed(&ds, &DataSet::rowChanged);
    const QString awkward = u"O'B\"; Delete from TLinker; --"_s;
    ds.edit();
    ds.setField(u"Linker"_s, awkward);
    ds.setField(u"MobileCode"_s, QVariant());
    ds.post();
    QVERIFY(changed.count() >= 1);
    QCOMPARE(ds.asString(u"Linker"_s), awkward);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"3"_s);
    QCOMPARE(f.app.queryValue(u"Select Linker from TLinker where ID=%1"_s.arg(f.ids[0])), awkward);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker where MobileCode is null"_s), u"1"_s);

    // Moving while editing posts the edit first, as the classic datasets do.
    ds.edit();
    ds.setField(u"Job"_s, u"客服主管"_s);
    ds.next();
    QCOMPARE(f.app.queryValue(u"Select Job from TLinker where ID=%1"_s.arg(f.ids[0])),
             u"客服主管"_s);
}

void TestDataSet::editOfRowGoneFromFileFails()
{
    Fixture f;
    DataSet &ds = *f.ds;
    ds.open();
    f.app.exec(u"Delete from TLinker where ID=%1"_s.arg(f.ids[0]));
    ds.edit();
    ds.setField(u"Job"_s, u"x"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.post());
    QCOMPARE(ds.state(), DataSet::State::Edit);
    ds.cancel();
    QVERIFY_THROWS_EXCEPTION(DbError, ds.deleteRow());
    QCOMPARE(ds.recordCount(), 3);
}

void TestDataSet::locateById()
{
    Fixture f;
    DataSet &ds = *f.ds;
    ds.open();
    QSignalSpy scrolled(&ds, &DataSet::afterScroll);
    QVERIFY(ds.locate(f.ids[2]));
    QCOMPARE(ds.asString(u"Linker"_s), u"张伟"_s);
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(scrolled.count(), 1);
    QVERIFY(!ds.locate(f.ids[2] + 100));
    QCOMPARE(ds.recNo(), 2);
    QCOMPARE(scrolled.count(), 1);
    QVERIFY(ds.locate(f.ids[0]));
    QCOMPARE(ds.recNo(), 0);

    DataSet noId(&f.connection);
    noId.setCommandText(u"Select Linker from TLinker"_s);
    noId.open();
    QVERIFY(!noId.locate(f.ids[0]));
}

void TestDataSet::deleteRow()
{
    Fixture f;
    DataSet &ds = *f.ds;
    ds.open();
    ds.last();
    QSignalSpy removed(&ds, &DataSet::rowRemoved);
    ds.deleteRow();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toInt(), 2);
    QCOMPARE(ds.recNo(), 1);
    QCOMPARE(names(ds), (QStringList{u"陈静"_s, u"王芳"_s}));
    QCOMPARE(f.app.queryColumn(u"Select Linker from TLinker Order by Linker"_s),
             (QStringList{u"陈静"_s, u"王芳"_s}));
    ds.deleteRow();
    ds.deleteRow();
    QVERIFY(ds.isEmpty());
    QVERIFY(ds.eof());
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"0"_s);
}

void TestDataSet::openFailureKeepsDatasetClosed_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("empty") << QString();
    QTest::newRow("syntax") << u"Select * form TLinker"_s;
    QTest::newRow("apostrophe in search")
        << u"Select * from TLinker where 1=1  And ((Linker Like '%O'B%') Or (PYCode like "
           u"'%O'B%')) Order by Linker"_s;
    QTest::newRow("no rows") << u"Delete from TLinker"_s;
    QTest::newRow("two statements") << u"Select * from TLinker; Delete from TLinker"_s;
}

void TestDataSet::openFailureKeepsDatasetClosed()
{
    QFETCH(QString, sql);
    Fixture f(sql);
    DataSet &ds = *f.ds;
    QSignalSpy reset(&ds, &DataSet::wasReset);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.open());
    QVERIFY(!ds.isOpen());
    QCOMPARE(reset.count(), 0);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"3"_s);
}
