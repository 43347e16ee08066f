#include "sms/ListFiles.h"

#include "common/FileError.h"
#include "common/GbkCodec.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace ListFiles {
namespace {

QString lineFrom(QByteArrayView line)
{
    for (char c : line)
        if (quint8(c) >= 0x80)
            return Gbk::decode(line);
    return QString::fromLatin1(line);
}

template <typename List> QByteArray join(const List &lines)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QString &l : lines)
        size += l.size() + 2;
    out.reserve(size);
    for (const QString &l : lines) {
        bool ascii = true;
        for (QChar c : l)
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        if (ascii) {
            const qsizetype at = out.size();
            out.resize(at + l.size());
            char *p = out.data() + at;
            for (QChar c : l)
                *p++ = char(c.unicode());
        } else {
            const Gbk::Encoded e = Gbk::encode(l);
            if (!e.ok())
                throw FileError(u"text holds a character GBK lacks: "_s + l);
            out += e.bytes;
        }
        out += "\r\n";
    }
    return out;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw FileError(u"cannot open "_s + path + u": "_s + f.errorString());
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw FileError(u"cannot read "_s + path + u": "_s + f.errorString());
    return bytes;
}

} // namespace

std::vector<QString> splitLines(QByteArrayView bytes,
                                const std::function<void(qsizetype)> &progress)
{
    std::vector<QString> lines;
    lines.reserve(size_t(bytes.size() / 12 + 1));
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    const char *d = bytes.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = d[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(lineFrom(bytes.sliced(start, i - start)));
        if (c == '\r' && i + 1 < n && d[i + 1] == '\n')
            ++i;
        start = i + 1;
        if (progress && (lines.size() & 0xFFFF) == 0)
            progress(i);
    }
    if (start < n)
        lines.push_back(lineFrom(bytes.sliced(start)));
    return lines;
}

std::vector<QString> readLines(const QString &path, const std::function<void(qsizetype)> &progress)
{
    return splitLines(readBytes(path), progress);
}

QByteArray joinLines(const std::vector<QString> &lines)
{
    return join(lines);
}

QByteArray joinLines(const QStringList &lines)
{
    return join(lines);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw FileError(u"cannot create "_s + path + u": "_s + f.errorString());
    if (f.write(bytes) != bytes.size() || !f.commit())
        throw FileError(u"cannot write "_s + path + u": "_s + f.errorString());
}

void writeLines(const QString &path, const std::vector<QString> &lines)
{
    writeBytes(path, joinLines(lines));
}

void writeLines(const QString &path, const QStringList &lines)
{
    writeBytes(path, joinLines(lines));
}

QString readText(const QString &path)
{
    return Gbk::decode(readBytes(path));
}

void writeText(const QString &path, const QString &text)
{
    const Gbk::Encoded e = Gbk::encode(text);
    if (!e.ok())
        throw FileError(u"text holds a character GBK lacks"_s);
    writeBytes(path, e.bytes);
}

} // namespace ListFiles
