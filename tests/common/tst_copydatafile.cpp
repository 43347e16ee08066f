#include "common/uPub.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestCopyDataFile : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void copiesByteForByte_data();
    void copiesByteForByte();
    void keepsModeOfReplacedFile();
    void copyOntoItselfKeepsContent();
    void refusesFileLockedByAnotherProcess_data();
    void refusesFileLockedByAnotherProcess();
    void failureMidwayKeepsOldDestination_data();
    void failureMidwayKeepsOldDestination();
    void reportsBadPaths_data();
    void reportsBadPaths();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    static QByteArray randomBytes(qsizetype n);
    static QByteArray readAll(const QString &file);
    static void writeFile(const QString &file, const QByteArray &data);
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QByteArray TestCopyDataFile::randomBytes(qsizetype n)
{
    QByteArray data(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        data[i] = char(QRandomGenerator::global()->bounded(256));
    return data;
}

QByteArray TestCopyDataFile::readAll(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void TestCopyDataFile::writeFile(const QString &file, const QByteArray &data)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

void TestCopyDataFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCopyDataFile::cleanup()
{
    setCopyDataFileHook(nullptr);
    qunsetenv("QUILLO_COPY_FAIL_AFTER");
    m_dir.reset();
}

void TestCopyDataFile::copiesByteForByte_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<qsizetype>("oldSize"); // -1: no destination yet
    QTest::newRow("empty, new") << qsizetype(0) << qsizetype(-1);
    QTest::newRow("one byte over a larger file") << qsizetype(1) << qsizetype(200000);
    QTest::newRow("exactly one block") << qsizetype(65536) << qsizetype(-1);
    QTest::newRow("several blocks over a smaller file") << qsizetype(300001) << qsizetype(10);
    QTest::newRow("empty over a file") << qsizetype(0) << qsizetype(5000);
}

void TestCopyDataFile::copiesByteForByte()
{
    QFETCH(qsizetype, size);
    QFETCH(qsizetype, oldSize);
    const QByteArray data = randomBytes(size);
    writeFile(path(u"ZARI.dat"_s), data);
    if (oldSize >= 0)
        writeFile(path(u"2026.WBK"_s), randomBytes(oldSize));

    CopyDataFile(path(u"ZARI.dat"_s), path(u"2026.WBK"_s));

    QCOMPARE(readAll(path(u"2026.WBK"_s)), data);
    QCOMPARE(readAll(path(u"ZARI.dat"_s)), data);
    QCOMPARE(entries(), (QStringList{u"2026.WBK"_s, u"ZARI.dat"_s}));
}

void TestCopyDataFile::keepsModeOfReplacedFile()
{
    writeFile(path(u"src"_s), "new");
    writeFile(path(u"old"_s), "old");
    QVERIFY(::chmod(QFile::encodeName(path(u"old"_s)).constData(), 0750) == 0);
    CopyDataFile(path(u"src"_s), path(u"old"_s));
    struct stat st
    {
    };
    QVERIFY(::stat(QFile::encodeName(path(u"old"_s)).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0750));
    QCOMPARE(readAll(path(u"old"_s)), QByteArray("new"));

    // A new file gets the ordinary mode of a created file.
    const mode_t mask = ::umask(022);
    CopyDataFile(path(u"src"_s), path(u"fresh"_s));
    ::umask(mask);
    QVERIFY(::stat(QFile::encodeName(path(u"fresh"_s)).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0644));
}

void TestCopyDataFile::copyOntoItselfKeepsContent()
{
    const QByteArray data = randomBytes(100000);
    writeFile(path(u"ZARI.dat"_s), data);
    CopyDataFile(path(u"ZARI.dat"_s), path(u"ZARI.dat"_s));
    QCOMPARE(readAll(path(u"ZARI.dat"_s)), data);
    QCOMPARE(entries(), QStringList{u"ZARI.dat"_s});
}

void TestCopyDataFile::refusesFileLockedByAnotherProcess_data()
{
    QTest::addColumn<QString>("locked");
    QTest::newRow("source open elsewhere") << u"ZARI.dat"_s;
    QTest::newRow("destination open elsewhere") << u"old.dat"_s;
}

void TestCopyDataFile::refusesFileLockedByAnotherProcess()
{
    QFETCH(QString, locked);
    const QByteArray source = randomBytes(70000);
    const QByteArray old = randomBytes(1000);
    writeFile(path(u"ZARI.dat"_s), source);
    writeFile(path(u"old.dat"_s), old);

    QProcess holder;
    // One process holds a shared lock, as a database connection does; exec keeps the same pid,
    // so killing it releases the lock.
    holder.start(
        u"sh"_s,
        {u"-c"_s, u"exec 9<\"$0\" && flock -s 9 && echo locked && exec sleep 30"_s, path(locked)});
    QVERIFY(holder.waitForStarted());
    QVERIFY(holder.waitForReadyRead(10000));
    QCOMPARE(holder.readAllStandardOutput(), QByteArray("locked\n"));

    QVERIFY_THROWS_EXCEPTION(FileError, CopyDataFile(path(u"ZARI.dat"_s), path(u"old.dat"_s)));
    QCOMPARE(readAll(path(u"old.dat"_s)), old);
    QCOMPARE(readAll(path(u"ZARI.dat"_s)), source);
    QCOMPARE(entries(), (QStringList{u"ZARI.dat"_s, u"old.dat"_s}));

    // Once the other process lets go, the same copy goes through.
    holder.kill();
    QVERIFY(holder.waitForFinished(10000));
    CopyDataFile(path(u"ZARI.dat"_s), path(u"old.dat"_s));
    QCOMPARE(readAll(path(u"old.dat"_s)), source);
}

namespace {
bool failPastQuarterMegabyte(qint64 copied)
{
    return copied < 256 * 1024;
}
} // namespace

void TestCopyDataFile::failureMidwayKeepsOldDestination_data()
{
    QTest::addColumn<bool>("throughEnvironment");
    QTest::addColumn<bool>("oldExists");
    QTest::newRow("hook, replacing") << false << true;
    QTest::newRow("hook, new file") << false << false;
    QTest::newRow("environment, replacing") << true << true;
}

void TestCopyDataFile::failureMidwayKeepsOldDestination()
{
    QFETCH(bool, throughEnvironment);
    QFETCH(bool, oldExists);
    const QByteArray source = randomBytes(1024 * 1024);
    const QByteArray old = randomBytes(600000);
    writeFile(path(u"ZARI.dat"_s), source);
    if (oldExists)
        writeFile(path(u"DB.dat"_s), old);
    if (throughEnvironment)
        qputenv("QUILLO_COPY_FAIL_AFTER", "300000");
    else
        setCopyDataFileHook(failPastQuarterMegabyte);

    QVERIFY_THROWS_EXCEPTION(FileError, CopyDataFile(path(u"ZARI.dat"_s), path(u"DB.dat"_s)));

    QStringList expected{u"ZARI.dat"_s};
    if (oldExists) {
        QCOMPARE(readAll(path(u"DB.dat"_s)), old);
        expected.prepend(u"DB.dat"_s);
    }
    QCOMPARE(entries(), expected); // no temporary file left behind
}

void TestCopyDataFile::reportsBadPaths_data()
{
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::newRow("source missing") << u"missing.dat"_s << u"old.dat"_s;
    QTest::newRow("source is a folder") << u"sub"_s << u"old.dat"_s;
    QTest::newRow("destination folder missing") << u"ZARI.dat"_s << u"nowhere/x.dat"_s;
    QTest::newRow("destination is a folder") << u"ZARI.dat"_s << u"sub"_s;
    QTest::newRow("empty source name") << QString() << u"old.dat"_s;
}

void TestCopyDataFile::reportsBadPaths()
{
    QFETCH(QString, src);
    QFETCH(QString, dst);
    writeFile(path(u"ZARI.dat"_s), "data");
    writeFile(path(u"old.dat"_s), "old");
    QVERIFY(QDir(m_dir->path()).mkdir(u"sub"_s));

    QVERIFY_THROWS_EXCEPTION(FileError, CopyDataFile(src.isEmpty() ? src : path(src), path(dst)));
    QCOMPARE(readAll(path(u"old.dat"_s)), QByteArray("old"));
    QCOMPARE(entries(), (QStringList{u"ZARI.dat"_s, u"old.dat"_s}));
    QVERIFY(QDir(path(u"sub"_s)).isEmpty());
}

QTEST_GUILESS_MAIN(TestCopyDataFile)
#include "tst_copydatafile.moc"
