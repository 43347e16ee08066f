#include "common/IniFile.h"

#include "common/GbkCodec.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

QByteArray encodeOrThrow(const QString &text, const QString &what, const QString &fileName)
{
    const Gbk::Encoded enc = Gbk::encode(text);
    if (!enc.ok())
        throw FileError(u"%1 \"%2\" cannot be written to %3: GBK lacks \"%4\""_s.arg(
            what, text, fileName, Gbk::unencodable(text)));
    return enc.bytes;
}

void checkName(const QString &name, const QString &what, const QString &fileName)
{
    // The reader trims names and skips comment lines, so such a name could not be read back.
    if (name.trimmed().isEmpty() || name != name.trimmed() || name.startsWith(u';') ||
        name.startsWith(u'#') || name.contains(u'\r') || name.contains(u'\n') ||
        name.contains(u'=') || name.contains(u'[') || name.contains(u']'))
        throw FileError(u"%1 \"%2\" is not valid in %3"_s.arg(what, name, fileName));
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QString &fileName, Options options)
    : m_fileName(fileName), m_options(options)
{
}

IniFile::Line IniFile::parse(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QByteArray t = raw.trimmed();
    if (t.startsWith('[')) {
        // A GBK trail byte may be ']', so the bracket is looked for in the decoded text.
        const QString text = Gbk::decode(t);
        const qsizetype close = text.indexOf(u']');
        if (close > 0) {
            line.isSection = true;
            line.section = text.mid(1, close - 1).trimmed();
        }
        return line;
    }
    if (t.startsWith(';') || t.startsWith('#'))
        return line;
    const qsizetype eq = raw.indexOf('=');
    if (eq > 0) {
        const QString key = Gbk::decode(raw.left(eq)).trimmed();
        if (!key.isEmpty()) {
            line.isKey = true;
            line.key = key;
        }
    }
    return line;
}

QList<IniFile::Line> IniFile::load() const
{
    QList<Line> lines;
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return lines; // a missing or unreadable file reads as empty
    const QByteArray data = file.readAll();
    qsizetype start = 0;
    const qsizetype n = data.size();
    // GBK trail bytes are never CR or LF, so the bytes split safely.
    for (qsizetype i = 0; i < n; ++i) {
        if (data[i] == '\r' || data[i] == '\n') {
            lines.append(parse(data.mid(start, i - start)));
            if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(parse(data.mid(start)));
    return lines;
}

void IniFile::save(const QList<Line> &lines) const
{
    QByteArray data;
    for (const Line &l : lines) {
        data += l.raw;
        data += "\r\n";
    }
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(u"cannot write %1: %2"_s.arg(m_fileName, file.errorString()));
    if (m_options & OwnerOnly) {
        if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw FileError(u"cannot restrict %1: %2"_s.arg(m_fileName, file.errorString()));
    }
    if (file.write(data) != data.size() || !file.commit())
        throw FileError(u"cannot write %1: %2"_s.arg(m_fileName, file.errorString()));
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    bool inSection = false;
    for (const Line &l : load()) {
        if (l.isSection) {
            inSection = sameName(l.section, section);
        } else if (inSection && l.isKey && sameName(l.key, key)) {
            const qsizetype eq = l.raw.indexOf('=');
            return Gbk::decode(l.raw.mid(eq + 1).trimmed());
        }
    }
    return defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = readString(section, key, QString()).toInt(&ok);
    return ok ? value : defaultValue;
}

QStringList IniFile::sectionKeys(const QString &section) const
{
    QStringList keys;
    bool inSection = false;
    for (const Line &l : load()) {
        if (l.isSection)
            inSection = sameName(l.section, section);
        else if (inSection && l.isKey && !keys.contains(l.key, Qt::CaseInsensitive))
            keys << l.key;
    }
    return keys;
}

bool IniFile::sectionExists(const QString &section) const
{
    for (const Line &l : load()) {
        if (l.isSection && sameName(l.section, section))
            return true;
    }
    return false;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values)
{
    // Everything is checked before anything changes, and the file is replaced once.
    checkName(section, u"section"_s, m_fileName);
    encodeOrThrow(section, u"section"_s, m_fileName);
    QList<std::pair<QString, QByteArray>> encoded;
    for (const auto &[key, value] : values) {
        checkName(key, u"key"_s, m_fileName);
        if (value.contains(u'\r') || value.contains(u'\n'))
            throw FileError(
                u"value of %1 holds a line break: not written to %2"_s.arg(key, m_fileName));
        encodeOrThrow(key, u"key"_s, m_fileName);
        encoded.append({key, encodeOrThrow(value, u"value of "_s + key, m_fileName)});
    }
    QList<Line> lines = load();
    for (const auto &[key, valueBytes] : encoded)
        setValue(lines, section, key, valueBytes);
    save(lines);
}

void IniFile::setValue(QList<Line> &lines, const QString &section, const QString &key,
                       const QByteArray &valueBytes)
{
    qsizetype sectionAt = -1;
    qsizetype lastInSection = -1; // last non-blank line of the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line &l = lines[i];
        if (l.isSection) {
            if (sectionAt >= 0)
                break;
            if (sameName(l.section, section)) {
                sectionAt = i;
                lastInSection = i;
            }
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (l.isKey && sameName(l.key, key)) {
            // Keep the key as spelt in the file.
            const QByteArray name = l.raw.left(l.raw.indexOf('=')).trimmed();
            lines[i] = parse(name + '=' + valueBytes);
            return;
        }
        if (!l.raw.trimmed().isEmpty())
            lastInSection = i;
    }

    const QByteArray keyBytes = Gbk::encode(key).bytes;
    const Line entry = parse(keyBytes + '=' + valueBytes);
    if (sectionAt >= 0) {
        lines.insert(lastInSection + 1, entry);
    } else {
        if (!lines.isEmpty() && !lines.last().raw.trimmed().isEmpty())
            lines.append(parse(QByteArray()));
        lines.append(parse('[' + Gbk::encode(section).bytes + ']'));
        lines.append(entry);
    }
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::eraseKey(const QString &section, const QString &key)
{
    QList<Line> lines = load();
    bool inSection = false;
    bool changed = false;
    for (qsizetype i = 0; i < lines.size();) {
        const Line &l = lines[i];
        if (l.isSection)
            inSection = sameName(l.section, section);
        else if (inSection && l.isKey && sameName(l.key, key)) {
            lines.removeAt(i);
            changed = true;
            continue;
        }
        ++i;
    }
    if (changed)
        save(lines);
}
