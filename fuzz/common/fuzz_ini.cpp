// The INI reader and writer over arbitrary file bytes. The first line of the input names a
// section, a key and a value (GBK, separated by tabs) to write; the rest is the file.
#include "FuzzCheck.h"

#include "common/GbkCodec.h"
#include "common/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
QString scratchFile()
{
    static const QString path = QDir::tempPath() + u"/fuzz_ini."_s +
                                QString::number(QCoreApplication::applicationPid()) + u".ini"_s;
    return path;
}

// Values read back lose the blanks the reader trims (ASCII white space, as bytes).
QString trimmedAsRead(const QString &value)
{
    return Gbk::decode(Gbk::encode(value).bytes.trimmed());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype nl = input.indexOf('\n');
    const QStringList request = Gbk::decode(nl < 0 ? input : input.left(nl)).split(u'\t');
    const QByteArray content = nl < 0 ? QByteArray() : input.mid(nl + 1);

    const QString path = scratchFile();
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(f.write(content) == content.size());
    }
    IniFile ini(path);
    const QString section = request.value(0, u"SMS"_s);
    const QString key = request.value(1, u"UserName"_s);
    const QString value = request.value(2);

    const QStringList keys = ini.sectionKeys(section);
    // The default is a character GBK decoding never gives, so it cannot be a stored value.
    QStringList before;
    for (const QString &k : keys) {
        // Key names come back once each, and each reads as what it names.
        FUZZ_CHECK(keys.filter(k, Qt::CaseInsensitive).count() >= 1);
        before << ini.readString(section, k, u"\uffff"_s);
        FUZZ_CHECK(before.last() != u"\uffff"_s);
        (void)ini.readInteger(section, k, -1);
    }
    FUZZ_CHECK(!keys.isEmpty() <= ini.sectionExists(section));

    bool written = true;
    try {
        ini.writeString(section, key, value);
    } catch (const FileError &) {
        written = false;
    }
    if (written) {
        // What was written reads back, and every other key of the section is untouched.
        FUZZ_CHECK(ini.sectionExists(section));
        FUZZ_CHECK(ini.readString(section, key, u"\uffff"_s) == trimmedAsRead(value));
        const QStringList after = ini.sectionKeys(section);
        FUZZ_CHECK(after.contains(key, Qt::CaseInsensitive));
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (keys[i].compare(key, Qt::CaseInsensitive) != 0)
                FUZZ_CHECK(ini.readString(section, keys[i], u"\uffff"_s) == before[i]);
        }
        ini.eraseKey(section, key);
    }
    QFile::remove(path);
    return 0;
}
