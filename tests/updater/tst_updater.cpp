#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestAppFolder.h"
#include "UpdateServer.h"
#include "common/GbkCodec.h"
#include "platform/ProcessList.h"
#include "updater/HttpClient.h"
#include "updater/uServerUpdate.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kTitle = u"Quillo通讯录软件自动升级"_s;
const QString kDone = u"升级已完成！"_s;
const QString kResolveFailed = u"域名解析失败！确认您的电脑已经连接到Internet"_s;
const QString kPackageQuestion =
    u"不能联网的情况下，可以通过其他渠道获得更新包文件！可以直接选择更新包\r是否选择更新包？"_s;
const QString kCatalogueFailed = u"下载更新目录文件失败！确认您的电脑已经连接到Internet"_s;
const QString kNothingNew = u"没有需要更新的内容，您的版本已经是最新！"_s;
const QString kPublishing = u"服务器正在发布更新文件，请稍后再更新数据！"_s;
const QString kFolderFailed = u"创建本地文件夹失败，请以管理员身份登陆操作系统！"_s;
const QString kUnsafe = u"更新目录中含有不安全的文件名，升级已停止：\r"_s;
const QString kNotInstalled = u"以下客户端文件未能更新，下次升级时将重新安装：\r"_s;
const QString kOldVer = u"2024010100"_s;

QByteArray gbk(const QString &text)
{
    const Gbk::Encoded e = Gbk::encode(text);
    if (!e.ok())
        qFatal("test text not encodable in GBK");
    return e.bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString uniqueName(const QString &prefix)
{
    return prefix + QString::number(QRandomGenerator::global()->generate64(), 36);
}

// A copy of sleep under a name of its own: the stand-in for the running main program.
class KillTarget
{
public:
    explicit KillTarget(const QString &name = uniqueName(u"qbtarget"_s)) : m_name(name)
    {
        const QString exe = m_dir.filePath(m_name);
        QFile::copy(QStandardPaths::findExecutable(u"sleep"_s), exe);
        QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_process.start(exe, {u"300"_s});
        m_process.waitForStarted();
    }
    ~KillTarget()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    QString name() const { return m_name; }
    bool running() const { return ProcessList::isRunning(m_process.processId()); }

private:
    QTemporaryDir m_dir;
    QString m_name;
    QProcess m_process;
};

// One updater run's world: application folder with a fresh database, an update server on
// loopback, the dialogs and shell doubles and a process that plays the main program.
struct World
{
    TestAppFolder app;
    QTemporaryDir serverDir;
    UpdateServer server{serverDir.path()};
    KillTarget target;
    ScriptedDialogs dialogs;
    RecordingShell shell;

    World()
    {
        if (!server.start(QHostAddress(u"127.0.0.61"_s)))
            qFatal("update server cannot listen");
        app.exec(u"Update TPara Set ClientVer='"_s + kOldVer + u"'"_s);
    }

    void serve(const QString &path, const QByteArray &bytes)
    {
        writeFile(serverDir.filePath(u"QuilloBook/"_s + path), bytes);
    }
    void serveCatalogue(const QString &text) { serve(u"UpdateCnt.txt"_s, gbk(text)); }

    UpdaterOptions options() const
    {
        UpdaterOptions o;
        o.appPath = app.path();
        o.serverRoot = server.rootUrl();
        o.killName = target.name();
        o.transferTimeoutMs = 2000;
        o.killWaitMs = 3000;
        return o;
    }

    QString clientVer() { return app.queryColumn(u"Select ClientVer from TPara"_s).join(u','); }
    bool hasTable(const QString &name)
    {
        return app.queryValue(u"select count(*) from sqlite_master where name='"_s + name +
                              u"'"_s) == u"1"_s;
    }
};

// Runs both timer steps the way the timers would.
void runChain(TfrmServerUpdate &form)
{
    form.TimerUpdateCheckTimer();
    if (!form.isEnded()) {
        QVERIFY(form.TimerGetList->isActive());
        form.TimerGetListTimer();
    }
    QVERIFY(form.isEnded());
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDir dir(folder);
    for (const QString &f : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
        files << f;
    return files;
}

} // namespace

class TestUpdater : public QObject
{
    Q_OBJECT
private slots:
    void versionCheckFailures_data();
    void versionCheckFailures();
    void onlineRefusals_data();
    void onlineRefusals();
    void failingDownload_data();
    void failingDownload();
    void fullOnlineUpdate_data();
    void fullOnlineUpdate();
    void stampIsStoredAsIs_data();
    void stampIsStoredAsIs();
    void clientFileInUseIsOfferedAgain();
    void packagePath();
    void packagePathEnds_data();
    void packagePathEnds();
    void unsafeNamesAreRefused_data();
    void unsafeNamesAreRefused();
    void timersRunTheChainOnce();
    void killProcessByName();
    void killSparesOwnProcess();
    void updateServerTool_data();
    void updateServerTool();
};

void TestUpdater::versionCheckFailures_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database") << u"remove"_s << u"连接数据库失败."_s
                                 << u"连接数据库失败，请首先确认软件是否正确安装！"_s;
    QTest::newRow("no TPara") << u"drop"_s << u"数据库连接成功！"_s
                              << u"读取数据库参数表发生错误！"_s;
}

void TestUpdater::versionCheckFailures()
{
    QFETCH(QString, breakage);
    World w;
    if (breakage == u"remove"_s)
        QVERIFY(QFile::remove(w.app.dbPath()));
    else
        w.app.exec(u"DROP TABLE TPara"_s);

    TfrmServerUpdate form(w.options());
    form.TimerUpdateCheckTimer();
    QVERIFY(form.isEnded());
    QVERIFY(!form.TimerGetList->isActive());
    QTEST(form.Label1->text(), "label");
    QFETCH(QString, message);
    QCOMPARE(w.dialogs.takeTexts(), QStringList{message});
    QVERIFY(w.server.requests().isEmpty());
    QVERIFY(w.shell.opened.isEmpty());
    QVERIFY(w.target.running());
}

void TestUpdater::onlineRefusals_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("requested");

    const QString marker = u"/QuilloBook/NowUpLoad.txt"_s;
    const QString catalogue = u"/QuilloBook/UpdateCnt.txt"_s;
    QTest::newRow("publishing marker")
        << u"publishing"_s << QStringList{kPublishing} << QStringList{marker};
    QTest::newRow("empty marker file counts too")
        << u"empty marker"_s << QStringList{kPublishing} << QStringList{marker};
    QTest::newRow("catalogue missing")
        << u"no catalogue"_s << QStringList{kCatalogueFailed} << QStringList{marker, catalogue};
    QTest::newRow("catalogue transfer stalls")
        << u"stall"_s << QStringList{kCatalogueFailed} << QStringList{marker, catalogue};
    QTest::newRow("working folder cannot be created")
        << u"NetUpdate is a file"_s << QStringList{kFolderFailed, kCatalogueFailed}
        << QStringList{marker, catalogue};
    QTest::newRow("nothing newer")
        << u"nothing new"_s << QStringList{kNothingNew} << QStringList{marker, catalogue};
}

void TestUpdater::onlineRefusals()
{
    QFETCH(QString, setup);
    World w;
    const QString catalogue = kOldVer + u"[SQL]a.sql\ta.sql\n"_s;
    w.serve(u"SQL/a.sql"_s, "CREATE TABLE TA(x)");
    if (setup != u"no catalogue"_s)
        w.serveCatalogue(setup == u"nothing new"_s ? catalogue : u"2024010101[SQL]a.sql\ta.sql"_s);
    if (setup == u"publishing"_s)
        w.server.setPublishing(true);
    if (setup == u"empty marker"_s)
        w.serve(u"NowUpLoad.txt"_s, QByteArray());
    if (setup == u"stall"_s)
        w.server.addStalling(u"/QuilloBook/UpdateCnt.txt"_s);
    if (setup == u"NetUpdate is a file"_s)
        writeFile(w.app.path() + u"NetUpdate"_s, "not a folder");

    TfrmServerUpdate form(w.options());
    runChain(form);
    QTEST(w.dialogs.takeTexts(), "messages");
    QTEST(w.server.requestedPaths(), "requested");
    QCOMPARE(QFile::exists(w.app.path() + u"NetUpdate/NowUpLoad.txt"_s),
             setup.contains(u"marker"_s) || setup == u"publishing"_s);
    QVERIFY(w.target.running());
    QVERIFY(w.shell.opened.isEmpty());
    QCOMPARE(form.windowTitle(), kTitle);
    QCOMPARE(w.clientVer(), kOldVer);
    QVERIFY(!w.hasTable(u"TA"_s));
}

void TestUpdater::failingDownload_data()
{
    QTest::addColumn<bool>("broken");
    QTest::newRow("transfer breaks off") << true;
    QTest::newRow("file missing on the server") << false;
}

void TestUpdater::failingDownload()
{
    QFETCH(bool, broken);
    World w;
    w.serveCatalogue(u"2024010101[SQL]001.sql\t001.sql\n"
                     u"2024010102[CLIENT]QuilloBook\tQuilloBook.bin\n"_s);
    w.serve(u"CLIENT/QuilloBook.bin"_s, QByteArray(5000, 'B'));
    if (broken) {
        w.serve(u"SQL/001.sql"_s, "CREATE TABLE TStep(N)\r\n" + QByteArray(4000, ' '));
        w.server.addFailing(u"/QuilloBook/SQL/001.sql"_s);
    }
    // A copy from an earlier run stays as it was.
    writeFile(w.app.path() + u"NetUpdate/SQL/001.sql"_s, "earlier");

    TfrmServerUpdate form(w.options());
    runChain(form);
    QCOMPARE(w.dialogs.takeTexts(), QStringList{u"下载文件001.sql失败！"_s});
    QCOMPARE(readFile(w.app.path() + u"NetUpdate/SQL/001.sql"_s), "earlier"_ba);
    QCOMPARE(filesUnder(w.app.path() + u"NetUpdate/SQL"_s), QStringList{u"001.sql"_s});
    QCOMPARE(readFile(w.app.path() + u"NetUpdate/CLIENT/QuilloBook"_s), QByteArray(5000, 'B'));
    // The main program was closed and is not restarted; nothing was applied.
    QVERIFY(!w.target.running());
    QVERIFY(w.shell.opened.isEmpty());
    QVERIFY(!QFile::exists(w.app.path() + u"QuilloBook"_s));
    QVERIFY(!w.hasTable(u"TStep"_s));
    QCOMPARE(w.clientVer(), kOldVer);
}

void TestUpdater::fullOnlineUpdate_data()
{
    QTest::addColumn<bool>("redirected");
    QTest::newRow("direct") << false;
    QTest::newRow("every request redirected") << true;
}

void TestUpdater::fullOnlineUpdate()
{
    QFETCH(bool, redirected);
    World w;
    w.server.setRedirecting(redirected);
    w.serveCatalogue(u"2024010100[SQL]old.sql\told.sql\r\n"
                     u"2024010101[SQL]001.sql\t001.sql\r\n"
                     u"2024010102[CLIENT]QuilloBook\tQuilloBook.bin\r\n"
                     u"2024010102[SQL]002.sql\t002_v2.sql\r\n"
                     u"2024010103[CLIENT]Help\\说明.txt\treadme.txt\r\n"
                     u"2024010104[sql]lower.sql\tlower.sql\r\n"_s);
    w.serve(u"SQL/old.sql"_s, "INSERT INTO TStep VALUES(98,'old')");
    w.serve(u"SQL/001.sql"_s, gbk(u"CREATE TABLE TStep(N INTEGER, Name TEXT)\r\nGO\r\n"
                                  u"INSERT INTO TStep VALUES(1,'一')\r\ngo\r\n"
                                  u"INSERT INTO NoSuchTable VALUES(1)\r\n  GO\r\n"
                                  u"INSERT INTO TStep VALUES(2,'二')\r\n"_s));
    w.serve(u"SQL/002_v2.sql"_s, gbk(u"INSERT INTO TStep VALUES(3,'三')\nGO\n"_s));
    w.serve(u"SQL/lower.sql"_s, "INSERT INTO TStep VALUES(99,'lower')");
    QByteArray program(250000, '\0');
    for (qsizetype i = 0; i < program.size(); ++i)
        program[i] = char(i * 7);
    w.serve(u"CLIENT/QuilloBook.bin"_s, program);
    w.serve(u"CLIENT/readme.txt"_s, gbk(u"说明"_s));

    TfrmServerUpdate form(w.options());
    QSignalSpy workBegin(form.IdHTTP1, &HttpClient::workBegin);
    runChain(form);

    QCOMPARE(w.dialogs.takeTexts(), QStringList{kDone});
    QCOMPARE(w.shell.opened, QStringList{w.app.path() + u"QuilloBook"_s});
    QVERIFY(!w.target.running());
    QCOMPARE(form.windowTitle(), kTitle + u"  2024010100 To 2024010104"_s);

    // Scripts in catalogue order, a failing batch passed over, the lower-case kind not applied.
    QCOMPARE(w.app.queryValue(u"select group_concat(N || Name, ',') from "
                              u"(select N, Name from TStep order by rowid)"_s),
             u"1一,2二,3三"_s);
    QCOMPARE(readFile(w.app.path() + u"QuilloBook"_s), program);
    QCOMPARE(readFile(w.app.path() + u"Help/说明.txt"_s), gbk(u"说明"_s));
    QCOMPARE(w.clientVer(), u"2024010104"_s);

    // Downloads run from the last chosen line to the first; every request carries the headers.
    QStringList answered;
    for (const UpdateServer::Request &r : w.server.requests()) {
        QCOMPARE(r.userAgent, "Mozilla/3.0 (compatible; Indy Library)"_ba);
        QCOMPARE(r.accept, "text/html, */*"_ba);
        if (r.status != 302)
            answered << r.path;
    }
    QCOMPARE(answered, (QStringList{
                           u"/QuilloBook/NowUpLoad.txt"_s,
                           u"/QuilloBook/UpdateCnt.txt"_s,
                           u"/QuilloBook/SQL/lower.sql"_s,
                           u"/QuilloBook/CLIENT/readme.txt"_s,
                           u"/QuilloBook/SQL/002_v2.sql"_s,
                           u"/QuilloBook/CLIENT/QuilloBook.bin"_s,
                           u"/QuilloBook/SQL/001.sql"_s,
                       }));
    QCOMPARE(w.server.requests().size(), redirected ? 2 * answered.size() : answered.size());
    QCOMPARE(filesUnder(w.app.path() + u"NetUpdate/SQL"_s),
             (QStringList{u"001.sql"_s, u"002.sql"_s, u"lower.sql"_s}));
    QCOMPARE(filesUnder(w.app.path() + u"NetUpdate/CLIENT"_s), QStringList{u"QuilloBook"_s});

    bool sawProgramSize = false;
    for (const QList<QVariant> &args : std::as_const(workBegin))
        sawProgramSize = sawProgramSize || args.at(0).toLongLong() == program.size();
    QVERIFY(sawProgramSize);
}

void TestUpdater::stampIsStoredAsIs_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("stamp");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("stamp holding quotes")
        << QStringList{kOldVer} << u"2025'01'01"_s << QStringList{u"2025'01'01"_s};
    QTest::newRow("empty TPara gets a row")
        << QStringList{} << u"2024010101"_s << QStringList{u"2024010101"_s};
    QTest::newRow("every row stamped") << QStringList{kOldVer, u"2020"_s} << u"2024010101"_s
                                       << QStringList{u"2024010101"_s, u"2024010101"_s};
}

void TestUpdater::stampIsStoredAsIs()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, stamp);
    World w;
    w.app.exec(u"Delete from TPara"_s);
    for (const QString &r : rows)
        w.app.exec(u"Insert into TPara (ClientVer) Values('"_s + r + u"')"_s);
    w.serveCatalogue(stamp + u"[SQL]a.sql\ta.sql\n"_s);
    w.serve(u"SQL/a.sql"_s, "CREATE TABLE TA(x)");

    TfrmServerUpdate form(w.options());
    runChain(form);
    QCOMPARE(w.dialogs.takeTexts(), QStringList{kDone});
    QVERIFY(w.hasTable(u"TA"_s));
    QTEST(w.app.queryColumn(u"Select ClientVer from TPara"_s), "expected");
}

void TestUpdater::clientFileInUseIsOfferedAgain()
{
    World w;
    w.serveCatalogue(u"2024010101[CLIENT]Locked.so\tLocked.so\n"
                     u"2024010101[CLIENT]Free.so\tFree.so\n"_s);
    w.serve(u"CLIENT/Locked.so"_s, "new locked");
    w.serve(u"CLIENT/Free.so"_s, "new free");
    const QString locked = w.app.path() + u"Locked.so"_s;
    writeFile(locked, "old");

    // Another program holds the file open with a lock.
    const int fd = ::open(QFile::encodeName(locked).constData(), O_RDONLY);
    QVERIFY(fd >= 0);
    QCOMPARE(::flock(fd, LOCK_SH), 0);
    {
        TfrmServerUpdate form(w.options());
        runChain(form);
    }
    ::close(fd);
    QCOMPARE(w.dialogs.takeTexts(), QStringList{kNotInstalled + u"Locked.so"_s});
    QCOMPARE(readFile(locked), "old"_ba);
    QCOMPARE(readFile(w.app.path() + u"Free.so"_s), "new free"_ba);
    QCOMPARE(w.clientVer(), kOldVer);
    QCOMPARE(w.shell.opened, QStringList{w.app.path() + u"QuilloBook"_s});

    // Not stamped, so the next run offers the files again and completes.
    TfrmServerUpdate again(w.options());
    runChain(again);
    QCOMPARE(w.dialogs.takeTexts(), QStringList{kDone});
    QCOMPARE(readFile(locked), "new locked"_ba);
    QCOMPARE(w.clientVer(), u"2024010101"_s);
}

void TestUpdater::packagePath()
{
    World w;
    QTemporaryDir package;
    writeFile(package.filePath(u"UpdateCnt.txt"_s),
              gbk(u"2024010101[SQL]001.sql\tignored\n2024010102[CLIENT]QuilloBook\tignored\n"_s));
    writeFile(package.filePath(u"Other.txt"_s), "2024010109[SQL]other.sql\tother.sql\n");
    writeFile(package.filePath(u"SQL/001.sql"_s), "CREATE TABLE TStep(N)\nGO\n");
    writeFile(package.filePath(u"CLIENT/QuilloBook"_s), "program from the package");

    UpdaterOptions options = w.options();
    options.serverRoot = u"http://no such host"_s;
    w.dialogs.answerQuestion(true);
    w.dialogs.answerOpenFile(package.filePath(u"Other.txt"_s));
    TfrmServerUpdate form(options);
    runChain(form);

    const QList<ScriptedDialogs::Shown> shown = w.dialogs.take();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown.at(0).text, kResolveFailed);
    QCOMPARE(shown.at(1).kind, ScriptedDialogs::Kind::Question);
    QCOMPARE(shown.at(1).text, kPackageQuestion);
    QCOMPARE(shown.at(2).kind, ScriptedDialogs::Kind::OpenFile);
    QCOMPARE(shown.at(2).file.title, u"选择更新目录文件"_s);
    QCOMPARE(shown.at(2).file.fileName, u"UpdateCnt.txt"_s);
    QCOMPARE(shown.at(2).file.filter, u"UpdateCnt.txt (UpdateCnt.txt)"_s);
    QCOMPARE(shown.at(3).text, kDone);

    // UpdateCnt.txt of the chosen folder was read, nothing downloaded or killed.
    QVERIFY(w.hasTable(u"TStep"_s));
    QCOMPARE(readFile(w.app.path() + u"QuilloBook"_s), "program from the package"_ba);
    QCOMPARE(w.clientVer(), u"2024010102"_s);
    QVERIFY(w.server.requests().isEmpty());
    QVERIFY(!QFile::exists(w.app.path() + u"NetUpdate"_s));
    QVERIFY(w.target.running());
    QCOMPARE(form.windowTitle(), kTitle);
    QCOMPARE(w.shell.opened, QStringList{w.app.path() + u"QuilloBook"_s});
}

void TestUpdater::packagePathEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("dialogCount");
    QTest::newRow("question declined") << u"no"_s << 2;
    QTest::newRow("file dialog cancelled") << u"cancel"_s << 3;
    QTest::newRow("folder without a catalogue") << u"missing"_s << 4;
}

void TestUpdater::packagePathEnds()
{
    QFETCH(QString, how);
    World w;
    QTemporaryDir empty;
    UpdaterOptions options = w.options();
    options.serverRoot = u"http://no such host"_s;
    w.dialogs.answerQuestion(how != u"no"_s);
    if (how == u"cancel"_s)
        w.dialogs.answerOpenFile(QString());
    if (how == u"missing"_s)
        w.dialogs.answerOpenFile(empty.filePath(u"UpdateCnt.txt"_s));

    TfrmServerUpdate form(options);
    runChain(form);
    const QList<ScriptedDialogs::Shown> shown = w.dialogs.take();
    QTEST(int(shown.size()), "dialogCount");
    if (how == u"missing"_s) {
        QCOMPARE(shown.at(3).kind, ScriptedDialogs::Kind::Error);
        QVERIFY(shown.at(3).text.contains(empty.filePath(u"UpdateCnt.txt"_s)));
    }
    QVERIFY(w.shell.opened.isEmpty());
    QVERIFY(w.target.running());
    QCOMPARE(w.clientVer(), kOldVer);
}

void TestUpdater::unsafeNamesAreRefused_data()
{
    QTest::addColumn<bool>("package");
    QTest::addColumn<QString>("kind"); // "parent" or "absolute" local name, "server" name
    QTest::newRow("online, ../ in the local name") << false << u"parent"_s;
    QTest::newRow("online, absolute local name") << false << u"absolute"_s;
    QTest::newRow("online, ..\\ in the server name") << false << u"server"_s;
    QTest::newRow("package, ../ in the local name") << true << u"parent"_s;
    QTest::newRow("package, absolute local name") << true << u"absolute"_s;
}

void TestUpdater::unsafeNamesAreRefused()
{
    QFETCH(bool, package);
    QFETCH(QString, kind);
    World w;
    QTemporaryDir outside;
    QTemporaryDir packageDir;
    const QString escapeName = uniqueName(u"escape"_s);
    QString entry;
    QString refused;
    QString outsidePath;
    if (kind == u"parent"_s) {
        refused = u"../"_s + escapeName;
        entry = u"[CLIENT]..\\"_s + escapeName + u"\tx.bin"_s;
        outsidePath = w.app.path() + refused;
    } else if (kind == u"absolute"_s) {
        refused = outside.filePath(u"abs.bin"_s);
        entry = u"[CLIENT]"_s + refused + u"\tx.bin"_s;
        outsidePath = refused;
    } else {
        refused = u"../../"_s + escapeName;
        entry = u"[SQL]s.sql\t..\\..\\"_s + escapeName;
        outsidePath = w.app.path() + u"NetUpdate/"_s + escapeName;
    }
    const QString catalogue = u"2024010101[SQL]safe.sql\tsafe.sql\n2024010102"_s + entry + u"\n"_s;
    w.serveCatalogue(catalogue);
    w.serve(u"SQL/safe.sql"_s, "CREATE TABLE TSafe(x)");
    w.serve(u"CLIENT/x.bin"_s, "payload");
    writeFile(w.serverDir.filePath(escapeName), "payload");

    UpdaterOptions options = w.options();
    if (package) {
        writeFile(packageDir.filePath(u"UpdateCnt.txt"_s), gbk(catalogue));
        writeFile(packageDir.filePath(u"SQL/safe.sql"_s), "CREATE TABLE TSafe(x)");
        writeFile(packageDir.filePath(u"CLIENT/x.bin"_s), "payload");
        writeFile(packageDir.filePath(escapeName), "payload");
        options.serverRoot = u"http://no such host"_s;
        w.dialogs.answerQuestion(true);
        w.dialogs.answerOpenFile(packageDir.filePath(u"UpdateCnt.txt"_s));
    }
    TfrmServerUpdate form(options);
    runChain(form);

    QStringList texts = w.dialogs.takeTexts();
    QCOMPARE(texts.takeLast(), kUnsafe + refused);
    QCOMPARE(texts.size(), package ? 3 : 0);
    QVERIFY(!QFile::exists(outsidePath));
    QVERIFY(!QFile::exists(w.app.path() + u"../"_s + escapeName));
    QVERIFY(!w.hasTable(u"TSafe"_s));
    QCOMPARE(w.clientVer(), kOldVer);
    QVERIFY(w.shell.opened.isEmpty());
    QVERIFY(w.target.running());
    QVERIFY(!QFile::exists(w.app.path() + u"NetUpdate/SQL"_s));
    QVERIFY(!QFile::exists(w.app.path() + u"NetUpdate/CLIENT"_s));
    if (!package)
        QCOMPARE(w.server.requestedPaths(),
                 (QStringList{u"/QuilloBook/NowUpLoad.txt"_s, u"/QuilloBook/UpdateCnt.txt"_s}));
}

void TestUpdater::timersRunTheChainOnce()
{
    World w;
    w.serveCatalogue(kOldVer + u"[SQL]a.sql\ta.sql\n"_s);
    // The server comes from UpdateHost of Provider.ini, port included.
    writeFile(w.app.path() + u"Provider.ini"_s,
              "[Provider]\r\nUpdateHost=" + w.server.hostAndPort().toLatin1() + "\r\n");
    UpdaterOptions options = w.options();
    options.serverRoot.clear();
    TfrmServerUpdate form(options);
    QCOMPARE(form.ServerRoot, w.server.rootUrl());
    QCOMPARE(form.Label1->text(), u"正在连接数据库……"_s);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet1);
    QSignalSpy ended(&form, &TfrmServerUpdate::ended);
    form.show();
    QVERIFY(ended.wait(15000));
    QCOMPARE(w.dialogs.takeTexts(), QStringList{kNothingNew});
    QCOMPARE(form.Label1->text(), u"数据库连接成功！"_s);
    QCOMPARE(form.PageControl1->currentWidget(), form.TabSheet2);
    QCOMPARE(form.OldVer, kOldVer);
    QCOMPARE(w.server.requestedPaths().size(), 2);

    // A later activation (after a message box closes) does not start the chain again.
    form.FormActivate();
    QVERIFY(!form.TimerUpdateCheck->isActive());
    QVERIFY(!form.TimerGetList->isActive());
    QCOMPARE(ended.size(), 1);
}

void TestUpdater::killProcessByName()
{
    const QString name = uniqueName(u"qbkill"_s);
    KillTarget exact(name);
    KillTarget containing(u"pre"_s + name + u"post"_s);
    KillTarget other(uniqueName(u"qbother"_s));
    QVERIFY(exact.running() && containing.running() && other.running());

    QCOMPARE(KillProcessByName(name.toUpper(), 5000), 2);
    QVERIFY(!exact.running());
    QVERIFY(!containing.running());
    QVERIFY(other.running());
    QCOMPARE(KillProcessByName(name, 1000), 0);
}

void TestUpdater::killSparesOwnProcess()
{
    // A copy of this test under a unique name asks to kill processes of its own name.
    QTemporaryDir dir;
    const QString name = uniqueName(u"qbself"_s);
    const QString exe = dir.filePath(name);
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), exe));
    QProcess child;
    child.start(exe, {u"--kill-own-name"_s, name.toUpper()});
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput().trimmed(), "0"_ba);
}

void TestUpdater::updateServerTool_data()
{
    QTest::addColumn<QStringList>("switches");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("ok");
    const QString catalogue = u"/QuilloBook/UpdateCnt.txt"_s;
    const QString marker = u"/QuilloBook/NowUpLoad.txt"_s;
    QTest::newRow("serves the folder") << QStringList{} << catalogue << true;
    QTest::newRow("no marker by default") << QStringList{} << marker << false;
    QTest::newRow("publishing marker") << QStringList{u"--publishing"_s} << marker << true;
    QTest::newRow("missing file") << QStringList{u"--missing"_s, catalogue} << catalogue << false;
    QTest::newRow("failing transfer") << QStringList{u"--fail"_s, catalogue} << catalogue << false;
    QTest::newRow("redirect") << QStringList{u"--redirect"_s} << catalogue << true;
}

void TestUpdater::updateServerTool()
{
    QFETCH(QStringList, switches);
    QFETCH(QString, path);
    const QString tool = qEnvironmentVariable("QUILLO_TOOLS_DIR") + u"/updateserver"_s;
    if (!QFile::exists(tool))
        QSKIP("updateserver is not built");
    QTemporaryDir root;
    const QByteArray content = QByteArray(3000, 'c');
    writeFile(root.filePath(u"QuilloBook/UpdateCnt.txt"_s), content);

    QProcess server;
    server.start(tool, QStringList{u"--root"_s, root.path(), u"--address"_s, u"127.0.0.62"_s,
                                   u"--port"_s, u"0"_s} +
                           switches);
    QVERIFY(server.waitForStarted());
    QVERIFY(server.waitForReadyRead(10000));
    const QByteArray line = server.readLine().trimmed();
    QVERIFY2(line.startsWith("listening on http://127.0.0.62:"), line.constData());
    const QString rootUrl = QString::fromLatin1(line.mid(13));

    HttpClient http;
    QByteArray body;
    QFETCH(bool, ok);
    QCOMPARE(http.get(QUrl(rootUrl + path), body), ok);
    if (ok && path == u"/QuilloBook/UpdateCnt.txt"_s)
        QCOMPARE(body, content);
    server.terminate();
    QVERIFY(server.waitForFinished());
    const QByteArray log = server.readAllStandardError();
    QVERIFY2(log.contains(path.toUtf8()), log.constData());
    QVERIFY(log.contains("UA=\"Mozilla/3.0 (compatible; Indy Library)\""));
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--kill-own-name") == 0) {
        std::printf("%d\n", KillProcessByName(QString::fromLocal8Bit(argv[2]), 1000));
        return 0;
    }
    QApplication app(argc, argv);
    TestUpdater test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updater.moc"
