// Writes that replace a user's file, killed with SIGKILL at random points: the database copies
// of backup, restore and the updater's client-file install, and the INI and list files. After
// every kill the file must be the complete old one or the complete new one (for the INI and
// list files: one complete state of the sequence of writes), and a database must open with the
// program's password.
#include "TestAppFolder.h"

#include "common/FileError.h"
#include "common/IniFile.h"
#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "sms/ListFiles.h"
#include "sms/SmsSettings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Child side ---------------------------------------------------------------------------------

int g_blockDelayUs = 0;

bool slowCopy(qint64)
{
    std::this_thread::sleep_for(std::chrono::microseconds(g_blockDelayUs));
    return true;
}

void ready()
{
    std::fputs("go\n", stdout);
    std::fflush(stdout);
}

QString padding()
{
    return QString(200000, u'x');
}

// The i-th state of each sequence of writes.
Gateway::Account accountNo(int i)
{
    return {u"E"_s + QString::number(i), u"用户"_s + QString::number(i),
            u"密码"_s + QString::number(i)};
}
QString hostNo(int i)
{
    return u"gw"_s + QString::number(i) + u".example.com"_s;
}
std::vector<QString> listNo(int i)
{
    std::vector<QString> l;
    const int n = 3000 + (i % 7) * 1000;
    for (int j = 0; j < n; ++j)
        l.push_back(QString::number(13000000000LL + i + j));
    return l;
}

int runChild(const QStringList &args)
{
    const QString mode = args.value(0);
    try {
        if (mode == u"copy"_s) {
            g_blockDelayUs = args.value(3).toInt();
            setCopyDataFileHook(slowCopy);
            ready();
            CopyDataFile(args.value(1), args.value(2));
        } else if (mode == u"account"_s) {
            // Goes on from the state the file holds, so states only ever move forward.
            const QString entId = SmsSettings::readAccount(args.value(1)).entId;
            ready();
            for (int i = entId.mid(1).toInt() + 1;; ++i)
                SmsSettings::writeAccount(args.value(1), accountNo(i));
        } else if (mode == u"provider"_s) {
            ready();
            for (int i = 1;; ++i)
                IniFile(args.value(1)).writeString(u"Provider"_s, u"GatewayHost"_s, hostNo(i));
        } else if (mode == u"list"_s) {
            ready();
            for (int i = 1;; ++i)
                ListFiles::writeLines(args.value(1), listNo(i));
        } else {
            return 2;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "child failed: %s\n", e.what());
        return 1;
    }
    return 0;
}

// Parent side --------------------------------------------------------------------------------

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString connectionFor(const QString &file)
{
    const QFileInfo fi(file);
    return TDM::connectionStringFor(fi.absolutePath() + u'/', fi.fileName());
}

// Contacts in the database file, opened with the program's password; -1 when it will not open.
int contactsIn(const QString &file)
{
    try {
        Connection c;
        c.setConnectionString(connectionFor(file));
        DataSet ds(&c);
        ds.setCommandText(u"SELECT ID FROM TLinker"_s);
        ds.open();
        return ds.recordCount();
    } catch (const DbError &) {
        return -1;
    }
}

// Starts the child, waits until it is about to write, lets it run for delayUs and kills it.
// Returns true when the child finished on its own before the kill.
bool runAndKill(const QStringList &args, qint64 delayUs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList{u"--child"_s} + args);
    if (!p.waitForStarted(10000) || !p.waitForReadyRead(20000)) {
        qWarning("child did not start");
        return false;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
    const bool finished = p.state() == QProcess::NotRunning;
    if (!finished)
        ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(20000);
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// How long a copy with this delay takes when nothing kills it, in microseconds.
qint64 copyDuration(const QString &src, const QString &dst, int blockDelayUs)
{
    QFile::remove(dst);
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {u"--child"_s, u"copy"_s, src, dst, QString::number(blockDelayUs)});
    if (!p.waitForStarted(10000) || !p.waitForReadyRead(20000))
        return -1;
    QElapsedTimer t;
    t.start();
    p.waitForFinished(60000);
    const qint64 us = t.nsecsElapsed() / 1000;
    QFile::remove(dst);
    return p.exitCode() == 0 ? us : -1;
}

int leftoverTemps(const QString &folder)
{
    return int(QDir(folder).entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden).size());
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void databaseCopies_data();
    void databaseCopies();
    void smsAccountFile();
    void providerFile();
    void listFile();

private:
    // Kills a looping writer `trials` times, calling check after each kill.
    template <typename Check>
    void killLoop(const QStringList &args, int trials, qint64 maxDelayUs, Check check);

    std::unique_ptr<TestAppFolder> m_app; // the user's database: a few contacts
    std::unique_ptr<TestAppFolder> m_big; // a larger database copied over it
    QRandomGenerator m_rng{20261211};
};

void TestCrashSafety::initTestCase()
{
    m_app = std::make_unique<TestAppFolder>();
    m_big = std::make_unique<TestAppFolder>();
    QVERIFY(m_app->isValid() && m_big->isValid());
    m_app->addContacts(m_app->addCategory(u"旧"_s), {{.linker = u"张三"_s}, {.linker = u"李四"_s}});
    QList<TestAppFolder::Contact> many;
    for (int i = 0; i < 3000; ++i)
        many.append({.linker = u"联系人"_s + QString::number(i),
                     .mobileCode = QString::number(13000000000LL + i),
                     .address = QString(50, QChar(u'路')),
                     .desp = QString(250, QChar(u'注'))});
    m_big->addContacts(m_big->addCategory(u"新"_s), many);
    QCOMPARE(contactsIn(m_app->dbPath()), 2);
    QCOMPARE(contactsIn(m_big->dbPath()), 3000);
    QVERIFY2(QFileInfo(m_big->dbPath()).size() > 16 * 65536, "the copy spans many blocks");
}

void TestCrashSafety::databaseCopies_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("trials");
    QTest::newRow("backup to a new .WBK") << u"backup-new"_s << 28;
    QTest::newRow("backup over an older .WBK") << u"backup-existing"_s << 28;
    QTest::newRow("restore over DB/ZARI.dat") << u"restore"_s << 28;
    QTest::newRow("updater client-file install") << u"client"_s << 20;
}

void TestCrashSafety::databaseCopies()
{
    QFETCH(QString, kind);
    QFETCH(int, trials);
    const QString bak = m_app->path() + u"Bak/"_s;
    QDir().mkpath(bak);
    QDir().mkpath(m_app->path() + u"NetUpdate/CLIENT"_s);
    const QByteArray small = readAll(m_app->dbPath());
    const QByteArray big = readAll(m_big->dbPath());

    // src holds the new bytes; dst starts each trial with the old bytes (or is absent).
    QString src, dst;
    QByteArray oldBytes, newBytes;
    int oldCount = -1, newCount = -1;
    if (kind.startsWith(u"backup"_s)) {
        src = m_big->dbPath(); // the current database, backed up
        dst = bak + u"20261211.WBK"_s;
        newBytes = big;
        newCount = 3000;
        if (kind == u"backup-existing"_s) {
            oldBytes = small;
            oldCount = 2;
        }
    } else if (kind == u"restore"_s) {
        src = bak + u"restore.WBK"_s;
        writeAll(src, big);
        dst = m_app->dbPath();
        oldBytes = small;
        oldCount = 2;
        newBytes = big;
        newCount = 3000;
    } else {
        src = m_app->path() + u"NetUpdate/CLIENT/ZARI.dat"_s;
        writeAll(src, big);
        dst = m_app->dbPath();
        oldBytes = small;
        oldCount = 2;
        newBytes = big;
        newCount = 3000;
    }

    const int blockDelayUs = 2000;
    const qint64 total = copyDuration(src, bak + u"calibrate.tmpcopy"_s, blockDelayUs);
    QVERIFY2(total > 0, "an undisturbed copy completes");

    int sawOld = 0, sawNew = 0;
    for (int t = 0; t < trials; ++t) {
        if (oldBytes.isEmpty())
            QFile::remove(dst);
        else
            writeAll(dst, oldBytes);
        const QString folder = QFileInfo(dst).absolutePath();
        // Kill points spread evenly over the copy (and a little past its end), each shifted
        // by a random amount.
        const qint64 span = total + total / 8;
        const qint64 delay = span * t / trials + qint64(m_rng.bounded(quint32(span / trials + 1)));
        const bool finished =
            runAndKill({u"copy"_s, src, dst, QString::number(blockDelayUs)}, delay);
        const QByteArray now = readAll(dst);
        if (now == newBytes) {
            ++sawNew;
            QCOMPARE(contactsIn(dst), newCount);
        } else if (!oldBytes.isEmpty() && now == oldBytes) {
            QVERIFY2(!finished, "a finished copy left the old file");
            ++sawOld;
            QCOMPARE(contactsIn(dst), oldCount);
        } else if (oldBytes.isEmpty() && now == "<missing>") {
            QVERIFY2(!finished, "a finished copy left no file");
            ++sawOld;
        } else {
            QFAIL(qPrintable(u"trial %1 (kill after %2 us): the file is neither the old nor the "
                             u"new one (%3 bytes)"_s.arg(t)
                                 .arg(delay)
                                 .arg(now.size())));
        }
        // The source is never harmed.
        QCOMPARE(contactsIn(src), 3000);
        // A killed copy may leave its temporary file; it never takes the destination's name.
        for (const QString &f : QDir(folder).entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden))
            QFile::remove(folder + u'/' + f);
    }
    qInfo("%s: %d trials over %lld us, old file %d times, new file %d times", qPrintable(kind),
          trials, total, sawOld, sawNew);
    QVERIFY2(sawOld > 0 && sawNew > 0, "kills landed both before and after the rename");
    QCOMPARE(leftoverTemps(QFileInfo(dst).absolutePath()), 0);
    writeAll(m_app->dbPath(), small);
}

template <typename Check>
void TestCrashSafety::killLoop(const QStringList &args, int trials, qint64 maxDelayUs, Check check)
{
    for (int t = 0; t < trials; ++t) {
        runAndKill(args, qint64(m_rng.bounded(quint32(maxDelayUs))));
        check(t);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestCrashSafety::smsAccountFile()
{
    const QString ini = m_app->path() + u"SMS.ini"_s;
    // A large other section makes every write long enough to be cut.
    writeAll(ini, "[other]\r\nBlob=" + padding().toLatin1() + "\r\n");
    SmsSettings::writeAccount(ini, accountNo(0));
    const QRegularExpression number(u"\\d+$"_s);
    killLoop({u"account"_s, ini}, 20, 150000, [&](int t) {
        const Gateway::Account a = SmsSettings::readAccount(ini);
        // The three keys are one write: all of them belong to the same account.
        const int e = number.match(a.entId).captured().toInt();
        const int u = number.match(a.userName).captured().toInt();
        const int p = number.match(a.password).captured().toInt();
        QCOMPARE(a.entId, accountNo(e).entId);
        QCOMPARE(a.userName, accountNo(u).userName);
        QCOMPARE(a.password, accountNo(p).password);
        QVERIFY2(e == u && u == p, qPrintable(u"trial %1: %2 %3 %4"_s.arg(t).arg(e).arg(u).arg(p)));
        QCOMPARE(IniFile(ini).readString(u"other"_s, u"Blob"_s, QString()), padding());
        QCOMPARE(QFileInfo(ini).permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFileDevice::Permissions());
    });
}

void TestCrashSafety::providerFile()
{
    const QString folder = m_app->path();
    const QString ini = folder + u"Provider.ini"_s;
    writeAll(ini, "; provider\r\n[Extra]\r\nBlob=" + padding().toLatin1() + "\r\n");
    writeDefaultProviderIni(folder);
    const QByteArray before = readAll(ini);
    killLoop({u"provider"_s, ini}, 20, 150000, [&](int t) {
        const IniFile f(ini);
        const QString host = f.readString(u"Provider"_s, u"GatewayHost"_s, QString());
        const QRegularExpression shape(u"^gw(\\d+)\\.example\\.com$"_s);
        const QByteArray now = readAll(ini);
        if (now == before)
            return;
        QVERIFY2(shape.match(host).hasMatch(), qPrintable(u"trial %1: %2"_s.arg(t).arg(host)));
        for (const ProviderDefault &d : providerDefaults())
            QVERIFY(!f.readString(u"Provider"_s, QString::fromUtf16(d.key), QString()).isEmpty() ||
                    QString::fromUtf16(d.value).isEmpty());
        QCOMPARE(f.readString(u"Extra"_s, u"Blob"_s, QString()), padding());
        QVERIFY(now.startsWith("; provider\r\n"));
    });
}

void TestCrashSafety::listFile()
{
    const QString path = m_app->path() + u"tmp.txt"_s;
    ListFiles::writeLines(path, listNo(0));
    killLoop({u"list"_s, path}, 20, 150000, [&](int t) {
        const std::vector<QString> l = ListFiles::readLines(path);
        QVERIFY(!l.empty());
        const int i = int(l.front().toLongLong() - 13000000000LL);
        QVERIFY2(l == listNo(i), qPrintable(u"trial %1: a list of %2 lines that was never "
                                            u"written"_s.arg(t)
                                                .arg(l.size())));
    });
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return runChild(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    TestCrashSafety t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_crashsafety.moc"
