#include "common/GbkCodec.h"

#include <iconv.h>
#include <vector>

namespace Gbk {
namespace {

struct Tables
{
    std::vector<quint16> toGbk;     // BMP code point -> GBK code (0: none)
    std::vector<char16_t> fromGbk;  // two-byte GBK code -> BMP code point (0: none)

    Tables() : toGbk(0x10000, 0), fromGbk(0x10000, 0)
    {
        for (char32_t c = 0; c < 0x80; ++c) {
            toGbk[c] = quint16(c);
            fromGbk[c] = char16_t(c);
        }
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == iconv_t(-1))
            return;
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                char in[2] = {char(lead), char(trail)};
                char out[8] = {};
                char *inp = in;
                char *outp = out;
                size_t inLeft = 2;
                size_t outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || outLeft != 6)
                    continue;
                const char16_t u = char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
                if (u < 0x80 || (u >= 0xD800 && u <= 0xDFFF))
                    continue;
                const quint16 code = quint16(lead << 8 | trail);
                fromGbk[code] = u;
                if (toGbk[u] == 0)
                    toGbk[u] = code;
            }
        }
        iconv_close(cd);
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

quint16 codeOf(char32_t codePoint)
{
    if (codePoint >= 0x10000)
        return 0;
    return tables().toGbk[codePoint];
}

Encoded encode(QStringView text)
{
    const auto &t = tables().toGbk;
    Encoded result;
    result.bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const quint16 code = (c >= 0xD800 && c <= 0xDFFF) ? 0 : t[c];
        if (c < 0x80) {
            result.bytes.append(char(c));
        } else if (code != 0) {
            result.bytes.append(char(code >> 8));
            result.bytes.append(char(code & 0xFF));
        } else {
            result.badAt = i;
            result.bytes.clear();
            return result;
        }
    }
    return result;
}

QByteArray encodeLossy(QStringView text)
{
    const auto &t = tables().toGbk;
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const quint16 code = (c >= 0xD800 && c <= 0xDFFF) ? 0 : t[c];
        if (code != 0) {
            out.append(char(code >> 8));
            out.append(char(code & 0xFF));
        } else {
            out.append('?');
            if (high && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
        }
    }
    return out;
}

QString decode(QByteArrayView bytes)
{
    const auto &t = tables().fromGbk;
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t(b)));
            continue;
        }
        if (i + 1 < bytes.size()) {
            const quint16 code = quint16(b << 8 | quint8(bytes[i + 1]));
            if (const char16_t u = t[code]) {
                out.append(QChar(u));
                ++i;
                continue;
            }
        }
        out.append(QChar(QChar::ReplacementCharacter));
    }
    return out;
}

bool canEncode(QStringView text)
{
    return encode(text).ok();
}

QString unencodable(QStringView text)
{
    QString bad;
    const auto &t = tables().toGbk;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            continue;
        QString ch;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = text.mid(i, 2).toString();
            ++i;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || t[c] == 0) {
            ch = QString(QChar(c));
        } else {
            continue;
        }
        if (!bad.contains(ch))
            bad += ch;
    }
    return bad;
}

} // namespace Gbk
