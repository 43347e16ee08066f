#include "common/IniFile.h"
#include "common/ProviderSettings.h"
#include "common/ResolvePath.h"
#include "common/uPub.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class TestIniFile : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void roundTripWritesGbk();
    void writeKeepsEverythingElse();
    void namesMatchWithoutCase();
    void readsEveryLineEnd_data();
    void readsEveryLineEnd();
    void integersAndDefaults();
    void sectionKeysAndErase();
    void refusesWhatCannotBeStored_data();
    void refusesWhatCannotBeStored();
    void writeFailureThrows();
    void bracketTrailBytesInNames();
    void ownerOnlyMode();

    void providerDefaultsAndOverrides();
    void writeDefaultProviderIniKeepsValues();

    void resolveCaseInsensitive_data();
    void resolveCaseInsensitive();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    static QByteArray readAll(const QString &file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void writeFile(const QString &file, const QByteArray &data)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(data), data.size());
    }
    static mode_t modeOf(const QString &file)
    {
        struct stat st
        {
        };
        return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::roundTripWritesGbk()
{
    IniFile ini(path(u"SMS.ini"_s));
    ini.writeString(u"comm"_s, u"EntID"_s, u"8001"_s);
    ini.writeString(u"comm"_s, u"Username"_s, u"张三"_s);
    ini.writeString(u"comm"_s, u"userPass"_s, u"GA6APAGP6PPP"_s);

    QCOMPARE(readAll(path(u"SMS.ini"_s)), QByteArray("[comm]\r\n"
                                                     "EntID=8001\r\n"
                                                     "Username=\xD5\xC5\xC8\xFD\r\n"
                                                     "userPass=GA6APAGP6PPP\r\n"));
    // A second object sees the file as it is on disk.
    const IniFile again(path(u"SMS.ini"_s));
    QCOMPARE(again.readString(u"comm"_s, u"Username"_s, QString()), u"张三"_s);
    QCOMPARE(again.readString(u"comm"_s, u"EntID"_s, QString()), u"8001"_s);

    // Overwriting keeps one line per key.
    ini.writeString(u"comm"_s, u"Username"_s, u"李四 Li"_s);
    QCOMPARE(again.readString(u"comm"_s, u"Username"_s, QString()), u"李四 Li"_s);
    QCOMPARE(again.sectionKeys(u"comm"_s), (QStringList{u"EntID"_s, u"Username"_s, u"userPass"_s}));
}

void TestIniFile::writeKeepsEverythingElse()
{
    // LF line ends, comments, blank lines, a line that is not GBK, and two sections.
    writeFile(path(u"SMS.ini"_s), "; account of the SMS window\n"
                                  "[comm]\n"
                                  "EntID = 8001 \n"
                                  "# \xE4\xBD\xA0 utf-8 bytes\n"
                                  "Username=old\n"
                                  "\n"
                                  "[other]\n"
                                  "Username=\xD5\xC5\n"
                                  "junk line\n");
    IniFile ini(path(u"SMS.ini"_s));
    ini.writeString(u"comm"_s, u"Username"_s, u"新"_s);
    ini.writeString(u"comm"_s, u"userPass"_s, u"X"_s); // new key: end of its section
    ini.writeString(u"Third"_s, u"k"_s, u"v"_s);       // new section: end of the file

    QCOMPARE(readAll(path(u"SMS.ini"_s)), QByteArray("; account of the SMS window\r\n"
                                                     "[comm]\r\n"
                                                     "EntID = 8001 \r\n"
                                                     "# \xE4\xBD\xA0 utf-8 bytes\r\n"
                                                     "Username=\xD0\xC2\r\n"
                                                     "userPass=X\r\n"
                                                     "\r\n"
                                                     "[other]\r\n"
                                                     "Username=\xD5\xC5\r\n"
                                                     "junk line\r\n"
                                                     "\r\n"
                                                     "[Third]\r\n"
                                                     "k=v\r\n"));
    QCOMPARE(ini.readString(u"comm"_s, u"EntID"_s, QString()), u"8001"_s); // blanks trimmed
    QCOMPARE(ini.readString(u"other"_s, u"Username"_s, QString()), u"张"_s);
}

void TestIniFile::namesMatchWithoutCase()
{
    writeFile(path(u"SMS.ini"_s), "[COMM]\r\nUSERPASS=abc\r\n");
    IniFile ini(path(u"SMS.ini"_s));
    QCOMPARE(ini.readString(u"comm"_s, u"userPass"_s, u"none"_s), u"abc"_s);
    QVERIFY(ini.sectionExists(u"Comm"_s));
    ini.writeString(u"Comm"_s, u"UserPass"_s, u"def"_s);
    QCOMPARE(readAll(path(u"SMS.ini"_s)), QByteArray("[COMM]\r\nUSERPASS=def\r\n"));
    QCOMPARE(ini.readString(u"other"_s, u"userPass"_s, u"none"_s), u"none"_s);
}

void TestIniFile::readsEveryLineEnd_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("CR LF") << QByteArray("[s]\r\na=1\r\nb=\xD5\xC5\r\n");
    QTest::newRow("LF") << QByteArray("[s]\na=1\nb=\xD5\xC5\n");
    QTest::newRow("CR") << QByteArray("[s]\ra=1\rb=\xD5\xC5\r");
    QTest::newRow("mixed, no final line end") << QByteArray("[s]\r\na=1\rb=\xD5\xC5");
}

void TestIniFile::readsEveryLineEnd()
{
    QFETCH(QByteArray, content);
    writeFile(path(u"x.ini"_s), content);
    const IniFile ini(path(u"x.ini"_s));
    QCOMPARE(ini.sectionKeys(u"s"_s), (QStringList{u"a"_s, u"b"_s}));
    QCOMPARE(ini.readString(u"s"_s, u"a"_s, QString()), u"1"_s);
    QCOMPARE(ini.readString(u"s"_s, u"b"_s, QString()), u"张"_s);
}

void TestIniFile::integersAndDefaults()
{
    writeFile(path(u"x.ini"_s), "[s]\r\nn= 42 \r\nbad=4x\r\nempty=\r\n");
    IniFile ini(path(u"x.ini"_s));
    QCOMPARE(ini.readInteger(u"s"_s, u"n"_s, -1), 42);
    QCOMPARE(ini.readInteger(u"s"_s, u"bad"_s, -1), -1);
    QCOMPARE(ini.readInteger(u"s"_s, u"empty"_s, -1), -1);
    QCOMPARE(ini.readInteger(u"s"_s, u"absent"_s, 7), 7);
    QCOMPARE(ini.readString(u"s"_s, u"empty"_s, u"dflt"_s), QString()); // present but empty
    ini.writeInteger(u"s"_s, u"n"_s, -300);
    QCOMPARE(ini.readInteger(u"s"_s, u"n"_s, 0), -300);

    const IniFile missing(path(u"none.ini"_s));
    QCOMPARE(missing.readString(u"s"_s, u"n"_s, u"d"_s), u"d"_s);
    QVERIFY(missing.sectionKeys(u"s"_s).isEmpty());
    QVERIFY(!QFile::exists(path(u"none.ini"_s))); // reading creates nothing
}

void TestIniFile::sectionKeysAndErase()
{
    writeFile(path(u"x.ini"_s), "[s]\r\n; note\r\nb=2\r\na=1\r\n[t]\r\na=3\r\n");
    IniFile ini(path(u"x.ini"_s));
    QCOMPARE(ini.sectionKeys(u"S"_s), (QStringList{u"b"_s, u"a"_s}));
    ini.eraseKey(u"s"_s, u"A"_s);
    QCOMPARE(readAll(path(u"x.ini"_s)), QByteArray("[s]\r\n; note\r\nb=2\r\n[t]\r\na=3\r\n"));
    QCOMPARE(ini.readString(u"t"_s, u"a"_s, QString()), u"3"_s);

    // Erasing what is not there leaves the file untouched, LF line ends included.
    writeFile(path(u"y.ini"_s), "[s]\nb=2\n");
    IniFile(path(u"y.ini"_s)).eraseKey(u"s"_s, u"zz"_s);
    QCOMPARE(readAll(path(u"y.ini"_s)), QByteArray("[s]\nb=2\n"));
}

void TestIniFile::refusesWhatCannotBeStored_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("emoji value") << u"comm"_s << u"Username"_s << u"张😀"_s;
    QTest::newRow("euro value") << u"comm"_s << u"Username"_s << u"5€"_s;
    QTest::newRow("value with line break") << u"comm"_s << u"Username"_s << u"a\r\n[x]"_s;
    QTest::newRow("value with CR") << u"comm"_s << u"Username"_s << u"a\rb"_s;
    QTest::newRow("key with =") << u"comm"_s << u"a=b"_s << u"v"_s;
    QTest::newRow("empty key") << u"comm"_s << QString() << u"v"_s;
    QTest::newRow("section with ]") << u"co]mm"_s << u"k"_s << u"v"_s;
    QTest::newRow("non-GBK key") << u"comm"_s << u"k€"_s << u"v"_s;
    // Names the reader would trim or take for a comment could never be read back.
    QTest::newRow("section with leading blank") << u" comm"_s << u"k"_s << u"v"_s;
    QTest::newRow("key with trailing blank") << u"comm"_s << u"k "_s << u"v"_s;
    QTest::newRow("key with ideographic space") << u"comm"_s << u"\u3000k"_s << u"v"_s;
    QTest::newRow("key starting with ;") << u"comm"_s << u";k"_s << u"v"_s;
    QTest::newRow("key starting with #") << u"comm"_s << u"#k"_s << u"v"_s;
}

void TestIniFile::refusesWhatCannotBeStored()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before("[comm]\r\nUsername=old\r\n");
    writeFile(path(u"SMS.ini"_s), before);
    IniFile ini(path(u"SMS.ini"_s));
    QVERIFY_THROWS_EXCEPTION(FileError, ini.writeString(section, key, value));
    QCOMPARE(readAll(path(u"SMS.ini"_s)), before);
}

// 賋 is D9 5D and 媅 8B 5B in GBK: trail bytes that look like brackets.
void TestIniFile::bracketTrailBytesInNames()
{
    IniFile ini(path(u"x.ini"_s));
    ini.writeString(u"賋组"_s, u"媅键"_s, u"v1"_s);
    ini.writeString(u"賋组"_s, u"b"_s, u"v2"_s);
    QCOMPARE(readAll(path(u"x.ini"_s)), QByteArray("[\xD9\x5D\xD7\xE9]\r\n\x8B\x5B\xBC\xFC=v1\r\nb=v2\r\n"));
    QVERIFY(ini.sectionExists(u"賋组"_s));
    QCOMPARE(ini.sectionKeys(u"賋组"_s), (QStringList{u"媅键"_s, u"b"_s}));
    QCOMPARE(ini.readString(u"賋组"_s, u"媅键"_s, QString()), u"v1"_s);
}

void TestIniFile::writeFailureThrows()
{
    IniFile ini(path(u"no/such/folder/SMS.ini"_s));
    try {
        ini.writeString(u"comm"_s, u"EntID"_s, u"1"_s);
        QFAIL("no exception");
    } catch (const FileError &e) {
        QVERIFY2(e.message().contains(u"SMS.ini"_s), qPrintable(e.message()));
    }
}

void TestIniFile::ownerOnlyMode()
{
    const mode_t mask = ::umask(022);
    IniFile(path(u"plain.ini"_s)).writeString(u"s"_s, u"k"_s, u"v"_s);
    QCOMPARE(modeOf(path(u"plain.ini"_s)), mode_t(0644));

    IniFile secret(path(u"SMS.ini"_s), IniFile::OwnerOnly);
    secret.writeString(u"comm"_s, u"userPass"_s, u"X"_s);
    QCOMPARE(modeOf(path(u"SMS.ini"_s)), mode_t(0600));

    // A file that was readable by others is tightened on the next write.
    writeFile(path(u"old.ini"_s), "[comm]\r\n");
    QVERIFY(::chmod(QFile::encodeName(path(u"old.ini"_s)).constData(), 0644) == 0);
    IniFile(path(u"old.ini"_s), IniFile::OwnerOnly).writeString(u"comm"_s, u"k"_s, u"v"_s);
    QCOMPARE(modeOf(path(u"old.ini"_s)), mode_t(0600));
    ::umask(mask);
}

void TestIniFile::providerDefaultsAndOverrides()
{
    const QString folder = m_dir->path() + u'/';
    QCOMPARE(providerValue(folder, u"GatewayHost"_s), u"sms.quillobook.example"_s);
    QCOMPARE(providerValue(folder, u"ProviderName"_s), u"Quillo软件工作室 出品"_s);
    QCOMPARE(providerValue(folder, u"unknown"_s), QString());

    // The file's name and keys match without case; an empty value falls back to the default.
    writeFile(path(u"provider.INI"_s), "[PROVIDER]\r\n"
                                       "updatehost=127.0.0.5:8081\r\n"
                                       "GatewayHost=\r\n"
                                       "ProviderName=\xD5\xC5\xC8\xFD\r\n");
    QCOMPARE(providerValue(folder, u"UpdateHost"_s), u"127.0.0.5:8081"_s);
    QCOMPARE(providerValue(folder, u"GatewayHost"_s), u"sms.quillobook.example"_s);
    QCOMPARE(providerValue(folder, u"ProviderName"_s), u"张三"_s);

    // The typed accessors read the application folder.
    const QString saved = AppPath;
    AppPath = folder;
    QCOMPARE(updateHost(), u"127.0.0.5:8081"_s);
    QCOMPARE(gatewayHost(), u"sms.quillobook.example"_s);
    QCOMPARE(webSite(), u"http://www.quillobook.example/"_s);
    QCOMPARE(qqChatHost(), u"wpa.qq.com"_s);
    QCOMPARE(providerName(), u"张三"_s);
    AppPath = saved;
}

void TestIniFile::writeDefaultProviderIniKeepsValues()
{
    const QString folder = m_dir->path() + u'/';
    writeDefaultProviderIni(folder);
    const IniFile ini(path(u"Provider.ini"_s));
    QStringList keys;
    for (const ProviderDefault &d : providerDefaults()) {
        keys << QString::fromUtf16(d.key);
        QCOMPARE(ini.readString(u"Provider"_s, keys.last(), QString()),
                 QString::fromUtf16(d.value));
    }
    QCOMPARE(ini.sectionKeys(u"Provider"_s), keys);

    IniFile(path(u"Provider.ini"_s)).writeString(u"Provider"_s, u"UpdateHost"_s, u"own:1"_s);
    writeDefaultProviderIni(folder);
    QCOMPARE(providerValue(folder, u"UpdateHost"_s), u"own:1"_s);
    QCOMPARE(ini.sectionKeys(u"Provider"_s), keys);
}

void TestIniFile::resolveCaseInsensitive_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("found");
    QTest::newRow("folder and file") << u"db/zari.DAT"_s << u"DB/ZARI.dat"_s;
    QTest::newRow("exact") << u"DB/ZARI.dat"_s << u"DB/ZARI.dat"_s;
    QTest::newRow("exact spelling preferred") << u"Help/ffkey1.txt"_s << u"Help/ffkey1.txt"_s;
    QTest::newRow("other spelling of the pair") << u"help/FFKEY1.TXT"_s << u"Help/FFKey1.txt"_s;
    QTest::newRow("missing file kept") << u"db/New.dat"_s << u"DB/New.dat"_s;
    QTest::newRow("missing folder kept") << u"nope/zari.dat"_s << u"nope/zari.dat"_s;
    QTest::newRow("trailing slash") << u"bak/"_s << u"Bak/"_s;
    QTest::newRow("dot components") << u"./db/../bak"_s << u"./DB/../Bak"_s;
}

void TestIniFile::resolveCaseInsensitive()
{
    QFETCH(QString, given);
    QFETCH(QString, found);
    QDir dir(m_dir->path());
    QVERIFY(dir.mkpath(u"DB"_s) && dir.mkpath(u"Bak"_s) && dir.mkpath(u"Help"_s));
    writeFile(path(u"DB/ZARI.dat"_s), "x");
    writeFile(path(u"Help/FFKey1.txt"_s), "x");
    writeFile(path(u"Help/ffkey1.txt"_s), "x");

    const QString base = m_dir->path() + u'/';
    QCOMPARE(::resolveCaseInsensitive(base + given), base + found);
    // A relative path resolves against the current folder.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QCOMPARE(::resolveCaseInsensitive(given), found);
    QVERIFY(QDir::setCurrent(cwd));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
