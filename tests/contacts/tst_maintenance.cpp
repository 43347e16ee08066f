#include "WindowTests.h"

#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "contacts/uMain.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList names(DataSet *ds)
{
    QStringList values;
    if (!ds->isOpen())
        return values;
    for (int row = 0; row < ds->recordCount(); ++row)
        values << ds->text(row, ds->fieldIndex(u"Linker"_s));
    return values;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

const QString restoreWarning = u"警告：还原数据库将会把当前设置状况下的数据覆盖，且不可恢复！\r"
                               u"建议在还原之前先备份数据库！\r请谨慎使用本功能！"_s;

} // namespace

void TestMaintenance::backupThenRestore()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.app.addContact(cls, {.linker = u"张三"_s});
    f.connect();
    TfrmLinker w;

    const QString backup =
        f.app.path() + u"Bak/"_s + QDate::currentDate().toString(u"yyyyMMdd"_s) + u".WBK"_s;
    f.dialogs.answerSaveFile(backup);
    w.Button4Click();
    const auto shown = f.dialogs.take();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].kind, ScriptedDialogs::Kind::SaveFile);
    QCOMPARE(shown[0].file.title, u"备份文件"_s);
    QCOMPARE(shown[0].file.initialDir, f.app.path() + u"Bak"_s);
    QCOMPARE(shown[0].file.fileName, backup);
    QCOMPARE(shown[0].file.filter, u"Quillo联系人备份文件(*.WBK)"_s);
    QVERIFY(shown[0].file.confirmOverwrite);
    QCOMPARE(shown[1].text, u"备份数据成功！\r软件将自动退出并重新启动本软件。"_s);
    QCOMPARE(readAll(backup), f.app.dbBytes());
    QCOMPARE(f.shell.opened, QStringList({QCoreApplication::applicationFilePath()}));
    QVERIFY(DM->ADOLocal->isConnected());

    // A contact added after the backup is gone after the restore.
    f.app.addContact(cls, {.linker = u"李四"_s});
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"2"_s);
    TfrmLinker again;
    QCOMPARE(names(again.dsLinkerExd), QStringList({u"李四"_s, u"张三"_s}));
    f.dialogs.answerOpenFile(backup);
    again.Button5Click();
    const auto restored = f.dialogs.take();
    QCOMPARE(restored.size(), 3);
    QCOMPARE(restored[0].text, restoreWarning);
    QCOMPARE(restored[1].kind, ScriptedDialogs::Kind::OpenFile);
    QCOMPARE(restored[1].file.title, u"选择文件还原数据库"_s);
    QCOMPARE(restored[1].file.initialDir, f.app.path() + u"Bak"_s);
    QCOMPARE(restored[1].file.filter, u"Quillo联系人备份文件(*WBK)"_s);
    QCOMPARE(restored[2].text, u"还原数据成功！\r软件将自动退出并重新启动本软件。"_s);
    QCOMPARE(f.app.dbBytes(), readAll(backup));
    QCOMPARE(f.app.queryColumn(u"Select Linker from TLinker"_s), QStringList({u"张三"_s}));
    QCOMPARE(f.shell.opened, QStringList({QCoreApplication::applicationFilePath(),
                                          QCoreApplication::applicationFilePath()}));
}

void TestMaintenance::cancelledDialogsChangeNothing()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.app.addContact(cls, {.linker = u"张三"_s});
    QVERIFY(QDir(f.app.path() + u"Bak"_s).removeRecursively());
    f.connect();
    TfrmLinker w;

    // Restore without Bak/: the dialog starts in the application folder; the warning comes
    // first even when the dialog is then cancelled.
    f.dialogs.answerOpenFile(QString());
    w.Button5Click();
    auto shown = f.dialogs.take();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0].text, restoreWarning);
    QCOMPARE(shown[1].file.initialDir, f.app.path());

    // Backup creates Bak/ for its proposal.
    f.dialogs.answerSaveFile(QString());
    w.Button4Click();
    shown = f.dialogs.take();
    QCOMPARE(shown.size(), 1);
    QVERIFY(QFileInfo(f.app.path() + u"Bak"_s).isDir());
    QCOMPARE(shown[0].file.initialDir, f.app.path() + u"Bak"_s);

    QVERIFY(DM->ADOLocal->isConnected());
    QCOMPARE(names(w.dsLinkerExd), QStringList({u"张三"_s}));
    QVERIFY(f.shell.opened.isEmpty());
}

void TestMaintenance::restoreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("not a database") << u"text"_s;
    QTest::newRow("empty file") << u"empty"_s;
    QTest::newRow("another password") << u"password"_s;
    QTest::newRow("missing table") << u"table"_s;
}

void TestMaintenance::restoreRefused()
{
    QFETCH(QString, kind);
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.app.addContact(cls, {.linker = u"张三"_s});
    const QString file = f.app.path() + u"Bak/bad.WBK"_s;
    if (kind == u"text") {
        writeFile(file, QByteArray("SQLite format 3\0 this is no database", 36).repeated(200));
    } else if (kind == u"empty") {
        writeFile(file, QByteArray());
    } else if (kind == u"password") {
        Schema::createDatabaseFile(file, u"another-password"_s);
    } else {
        Schema::createDatabaseFile(file);
        Connection c;
        c.setConnectionString(TDM::connectionStringFor(QString(), file));
        c.execute(u"Drop table TPara"_s);
        c.close();
    }
    const QByteArray before = f.app.dbBytes();
    f.connect();
    TfrmLinker w;

    f.dialogs.answerOpenFile(file);
    w.Button5Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({restoreWarning, u"选择文件还原数据库"_s, u"还原数据文件发生错误！"_s}));
    QCOMPARE(f.app.dbBytes(), before);
    QVERIFY(f.shell.opened.isEmpty());
    QVERIFY(DM->ADOLocal->isConnected());
    QCOMPARE(names(w.dsLinkerExd), QStringList({u"张三"_s}));
}

void TestMaintenance::copyFailuresKeepDatabaseAndLists()
{
    WindowFixture f;
    f.app.addCategory(u"朋友"_s);
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.app.addContact(cls, {.linker = u"张三"_s});
    const QString goodBackup = f.app.path() + u"Bak/good.WBK"_s;
    QVERIFY(QFile::copy(f.app.dbPath(), goodBackup));
    f.app.addContact(cls, {.linker = u"李四"_s});
    const QByteArray before = f.app.dbBytes();
    f.connect();
    TfrmLinker w;
    QVERIFY(w.dsLinkClass->locate(f.app
                                      .queryValue(u"Select ID from TLinkerClass where "
                                                  u"TitleName='朋友'"_s)
                                      .toLongLong()));

    // A second process holds the database open.
    QProcess peer;
    peer.start(QStringLiteral(DBPEER_PATH), {f.app.path()});
    QVERIFY(peer.waitForReadyRead(10000));
    QCOMPARE(peer.readLine().trimmed(), QByteArray("open"));

    const QString target = f.app.path() + u"Bak/refused.WBK"_s;
    f.dialogs.answerSaveFile(target);
    w.Button4Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"备份文件"_s, u"确认目标位置可读写！"_s}));
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(DM->ADOLocal->isConnected());
    // The lists are read again, on the category that was selected.
    QCOMPARE(w.dsLinkClass->asString(u"TitleName"_s), u"朋友"_s);
    QVERIFY(w.dsLinkerExd->isOpen());

    f.dialogs.answerOpenFile(goodBackup);
    w.Button5Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({restoreWarning, u"选择文件还原数据库"_s, u"还原数据文件发生错误！"_s}));
    QCOMPARE(f.app.dbBytes(), before);

    peer.closeWriteChannel();
    QVERIFY(peer.waitForFinished(10000));
    QCOMPARE(peer.exitCode(), 0);

    // A copy that breaks off part-way leaves the database file whole.
    setCopyDataFileHook([](qint64 copied) { return copied < 4096; });
    f.dialogs.answerOpenFile(goodBackup);
    w.Button5Click();
    setCopyDataFileHook(nullptr);
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({restoreWarning, u"选择文件还原数据库"_s, u"还原数据文件发生错误！"_s}));
    QCOMPARE(f.app.dbBytes(), before);
    QCOMPARE(names(w.dsLinkerExd), QStringList());
    w.dsLinkClass->first();
    QCOMPARE(names(w.dsLinkerExd), QStringList({u"李四"_s, u"张三"_s}));
    QVERIFY(f.shell.opened.isEmpty());
}

void TestMaintenance::updaterAndProviderLinks()
{
    WindowFixture f;
    f.connect();
    TfrmLinker w;
    w.cmdRegClick();
    QCOMPARE(f.shell.opened, QStringList({f.app.path() + u"QuilloUpdate"_s}));

    w.Image1Click();
    w.TabSheet2ContextPopup();
    QCOMPARE(f.shell.browsed, QStringList({webSite(), webSite()}));

    QCOMPARE(child<QLabel>(&w, "Label1")->text(), u"Quillo通讯录软件 V 1.0"_s);
    QCOMPARE(child<QLabel>(&w, "Label2")->text(), providerName());
    QCOMPARE(child<QLabel>(&w, "Label3")->text(), u"网站："_s + webSite());
    QVERIFY(f.dialogs.nothingShown());
}
