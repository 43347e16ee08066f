#include "contacts/XlsxCheck.h"

#include <QByteArray>
#include <QFile>

#include <zlib.h>

namespace {

quint32 le16(const QByteArray &b, qsizetype at)
{
    return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8;
}

quint32 le32(const QByteArray &b, qsizetype at)
{
    return le16(b, at) | le16(b, at + 2) << 16;
}

bool endsWithClosingTag(const QByteArray &tail)
{
    return tail.trimmed().endsWith("</worksheet>");
}

// Inflates a raw deflate stream; true when it ends properly after `size` bytes whose last
// ones close the worksheet.
bool inflateComplete(const char *data, qsizetype compressed, quint32 size)
{
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    z.avail_in = uInt(compressed);
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    QByteArray tail;
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = reinterpret_cast<Bytef *>(chunk.data());
        z.avail_out = uInt(chunk.size());
        rc = inflate(&z, Z_NO_FLUSH);
        const qsizetype produced = chunk.size() - qsizetype(z.avail_out);
        tail = QByteArray(tail + chunk.left(produced)).right(64);
        if (rc == Z_OK && produced == 0 && z.avail_in == 0)
            break;
    }
    const bool ok = rc == Z_STREAM_END && z.total_out == size;
    inflateEnd(&z);
    return ok && endsWithClosingTag(tail);
}

} // namespace

bool xlsxSheetIsComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray zip = file.readAll();
    if (zip.size() < 22)
        return false;

    // End of central directory record, at most 64 KiB of comment from the end.
    qsizetype eocd = -1;
    for (qsizetype at = zip.size() - 22; at >= 0 && at >= zip.size() - 22 - 65535; --at) {
        if (le32(zip, at) == 0x06054b50) {
            eocd = at;
            break;
        }
    }
    if (eocd < 0)
        return false;
    const quint32 entries = le16(zip, eocd + 10);
    qsizetype at = le32(zip, eocd + 16);

    const QByteArray wanted("xl/worksheets/sheet1.xml");
    for (quint32 i = 0; i < entries; ++i) {
        if (at + 46 > zip.size() || le32(zip, at) != 0x02014b50)
            return false;
        const quint32 method = le16(zip, at + 10);
        const quint32 compressed = le32(zip, at + 20);
        const quint32 size = le32(zip, at + 24);
        const quint32 nameLength = le16(zip, at + 28);
        const quint32 extraLength = le16(zip, at + 30);
        const quint32 commentLength = le16(zip, at + 32);
        const quint32 local = le32(zip, at + 42);
        if (at + 46 + nameLength > zip.size())
            return false;
        const QByteArray name = zip.mid(at + 46, nameLength);
        at += 46 + nameLength + extraLength + commentLength;
        if (name != wanted)
            continue;

        if (qsizetype(local) + 30 > zip.size() || le32(zip, local) != 0x04034b50)
            return false;
        const qsizetype data =
            qsizetype(local) + 30 + le16(zip, local + 26) + le16(zip, local + 28);
        if (data + qsizetype(compressed) > zip.size())
            return false;
        if (method == 0)
            return compressed == size && endsWithClosingTag(zip.mid(data, compressed).right(64));
        if (method != 8)
            return false;
        return inflateComplete(zip.constData() + data, compressed, size);
    }
    return false;
}
