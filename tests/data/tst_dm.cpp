#include "DataTests.h"
#include "ScriptedDialogs.h"
#include "TestAppFolder.h"

#include "common/uPub.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/uDM.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString mdacMessage = u"请确认您的程序是否安装正确，或者没有安装MDAC数据访问组件！"_s;

enum class Broken
{
    Missing,
    WrongPassword,
    NotADatabase
};

} // namespace

Q_DECLARE_METATYPE(Broken)

void TestDM::startupConnects()
{
    TestAppFolder app;
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QVERIFY(dialogs.nothingShown());
    QCOMPARE(AppPath, app.path());
    QVERIFY(dm.ADOLocal->isConnected());
    QCOMPARE(dm.ADOLocal->connectionString(),
             u"Provider=SQLCipher;Data Source="_s + app.path() +
                 u"db/ZARI.dat;Persist Security Info=False;Jet OLEDB:Database Password="
                 u"qmzt51739260"_s);
    QCOMPARE(dm.GetDataBySQL(u"Select ClientVer from TPara"_s), Schema::initialClientVersion());
}

void TestDM::startupFailureShowsMdacMessage_data()
{
    QTest::addColumn<Broken>("broken");
    QTest::newRow("missing file") << Broken::Missing;
    QTest::newRow("wrong password") << Broken::WrongPassword;
    QTest::newRow("not a database") << Broken::NotADatabase;
}

void TestDM::startupFailureShowsMdacMessage()
{
    QFETCH(Broken, broken);
    TestAppFolder app;
    QVERIFY(QFile::remove(app.dbPath()));
    if (broken == Broken::WrongPassword) {
        Schema::createDatabaseFile(app.dbPath(), u"another password"_s);
    } else if (broken == Broken::NotADatabase) {
        QFile f(app.dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        static const char notADatabase[] = "Standard Jet DB\0\0\0\0 not really";
        f.write(notADatabase, sizeof notADatabase - 1);
    }

    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QCOMPARE(dialogs.takeTexts(), QStringList{mdacMessage});
    QCOMPARE(AppPath, app.path());
    QVERIFY(!dm.ADOLocal->isConnected());

    // Start-up goes on; every later use tries again, fails quietly in the routines, and
    // raises to callers that open their own datasets.
    QStringList items{u"kept"_s};
    dm.GetItemsBySQL(u"Select TitleName from TLinkerClass"_s, items);
    QCOMPARE(items, QStringList{u"kept"_s});
    QCOMPARE(dm.GetDataBySQL(u"Select ClientVer from TPara"_s), QString());
    DataSet ds(dm.ADOLocal);
    ds.setCommandText(u"Select * from TLinkerClass Order by TitleName"_s);
    QVERIFY_THROWS_EXCEPTION(DbError, ds.open());
    QVERIFY(dialogs.nothingShown());
    QCOMPARE(QFile::exists(app.dbPath()), broken != Broken::Missing);
}

void TestDM::routinesOnEmptyTable()
{
    TestAppFolder app;
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    const QString sql = u"Select * from TLinker"_s;
    QStringList items{u"old"_s};
    dm.GetItemsBySQL(sql, items);
    QCOMPARE(items, QStringList());
    QVERIFY(!dm.dsItems->isOpen());

    QCOMPARE(dm.GetDataBySQL(sql), QString());
    QVERIFY(dm.dsQuery->isOpen());

    items = QStringList{u"old"_s};
    dm.GetDataBySQLToItems(sql, items, false);
    QCOMPARE(items, QStringList{u"old"_s});
    dm.GetDataBySQLToItems(sql, items, true);
    QCOMPARE(items, QStringList());
    QVERIFY(dm.dsQuery->isOpen());
}

void TestDM::routinesWithRejectedSql_data()
{
    QTest::addColumn<QString>("sql");
    QTest::newRow("syntax") << u"Select * form TLinker"_s;
    QTest::newRow("no such table") << u"Select * from TNothing"_s;
    QTest::newRow("apostrophe") << u"Select * from TLinker where Linker Like '%O'B%'"_s;
}

void TestDM::routinesWithRejectedSql()
{
    QFETCH(QString, sql);
    TestAppFolder app;
    app.addCategory(u"客户"_s);
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QStringList items{u"a"_s, u"b"_s};
    dm.GetItemsBySQL(sql, items);
    QCOMPARE(items, (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(dm.GetDataBySQL(sql), QString());
    dm.GetDataBySQLToItems(sql, items, true);
    QCOMPARE(items, (QStringList{u"a"_s, u"b"_s}));
    QVERIFY(!dm.dsQuery->isOpen());
    QVERIFY(dialogs.nothingShown());
    // The routines still work afterwards.
    dm.GetItemsBySQL(u"Select TitleName from TLinkerClass"_s, items);
    QCOMPARE(items, QStringList{u"客户"_s});
}

void TestDM::getItemsWithEmptySqlKeepsList()
{
    TestAppFolder app;
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QStringList items{u"经理"_s};
    dm.GetItemsBySQL(QString(), items);
    QCOMPARE(items, QStringList{u"经理"_s});
    QCOMPARE(dm.GetDataBySQL(QString()), QString());
    dm.GetDataBySQLToItems(QString(), items, true);
    QCOMPARE(items, QStringList{u"经理"_s});
}

void TestDM::distinctJobKeepsEmptyAndNull()
{
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    app.addContacts(c, {{.linker = u"甲"_s, .job = u"经理"_s},
                        {.linker = u"乙"_s, .job = u""_s},
                        {.linker = u"丙"_s, .job = u"经理"_s},
                        {.linker = u"丁"_s, .job = u"Manager"_s},
                        {.linker = u"戊"_s, .job = u"manager"_s}});
    app.exec(u"Insert into TLinker (ClassID,Linker,Job) Values(%1,'己',NULL)"_s.arg(c));
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QStringList items;
    dm.GetItemsBySQL(u"Select distinct Job from TLinker "_s, items);
    QCOMPARE(items.size(), 4);
    QCOMPARE(items.count(QString()), 2);
    QVERIFY(items.contains(u"经理"_s));
    // Distinct compares text as '=' does: without regard to case.
    QCOMPARE(items.filter(u"manager"_s, Qt::CaseInsensitive).size(), 1);

    // Only non-empty values are added.
    QStringList kept{u"x"_s};
    dm.GetDataBySQLToItems(u"Select distinct Job from TLinker "_s, kept, false);
    QCOMPARE(kept.size(), 3);
    QCOMPARE(kept.first(), u"x"_s);
    QVERIFY(!kept.contains(QString()));
}

void TestDM::getDataToItemsAddsNonEmpty()
{
    TestAppFolder app;
    const qint64 c = app.addCategory(u"客户"_s);
    app.addContacts(c, {{.linker = u"张伟"_s, .mobileCode = u"13801012345"_s},
                        {.linker = u"李娜"_s},
                        {.linker = u"王芳"_s, .mobileCode = u"13916543210"_s}});
    ScriptedDialogs dialogs;
    TDM dm(app.path());
    QCOMPARE(dm.GetDataBySQL(u"Select Linker from TLinker Order by Linker"_s), u"李娜"_s);
    QStringList items{u"13000000000"_s};
    dm.GetDataBySQLToItems(u"Select MobileCode from TLinker Order by ID"_s, items, false);
    QCOMPARE(items, (QStringList{u"13000000000"_s, u"13801012345"_s, u"13916543210"_s}));
    dm.GetDataBySQLToItems(u"Select MobileCode from TLinker Order by ID"_s, items, true);
    QCOMPARE(items, (QStringList{u"13801012345"_s, u"13916543210"_s}));
}
