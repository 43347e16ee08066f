#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// GBK text as the programs exchange it. Built on tables made once from glibc's iconv.
namespace Gbk {

// The GBK code of a character: its own value below 0x80, lead * 256 + trail for a two-byte
// character, and 0 when GBK cannot represent it.
quint16 codeOf(char32_t codePoint);

struct Encoded
{
    QByteArray bytes;      // the GBK bytes; empty when the text could not be encoded
    qsizetype badAt = -1;  // index (in UTF-16 units) of the first character GBK lacks
    bool ok() const { return badAt < 0; }
};

// Encodes without substitution: a character GBK lacks makes the result fail.
Encoded encode(QStringView text);

// Encodes with every character GBK lacks written as '?'. Only for texts that are
// not stored (display, logs); files must use encode() and refuse on failure.
QByteArray encodeLossy(QStringView text);

// Decodes GBK bytes; a byte sequence that is not GBK gives U+FFFD for its first byte.
QString decode(QByteArrayView bytes);

bool canEncode(QStringView text);

// The distinct characters of text that GBK lacks, in order of appearance.
QString unencodable(QStringView text);

} // namespace Gbk
