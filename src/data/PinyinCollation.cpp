#include "data/PinyinCollation.h"

#include "common/GbkCodec.h"

#include <sqlite3.h>

#include <array>
#include <memory>

namespace {

// Sort key of every BMP code point: the GBK code, or 0 when GBK lacks it. ASCII is folded to
// upper case. Built once, on first use.
const quint16 *keyTable()
{
    static const std::unique_ptr<quint16[]> table = [] {
        auto t = std::make_unique<quint16[]>(0x10000);
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp < 0x80)
                t[cp] = quint16(cp >= u'a' && cp <= u'z' ? cp - 0x20 : cp);
            else if (cp >= 0xD800 && cp <= 0xDFFF)
                t[cp] = 0;
            else
                t[cp] = Gbk::codeOf(cp);
        }
        return t;
    }();
    return table.get();
}

// Decodes one code point; an invalid sequence yields its first byte as a code point in the
// surrogate range (which no valid text holds), so every byte string still orders totally.
inline char32_t decode(const unsigned char *&p, const unsigned char *end)
{
    const unsigned c = *p++;
    if (c < 0x80)
        return c;
    int extra;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0xDC00 + c;
    }
    if (end - p < extra)
        return 0xDC00 + c;
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xDC00 + c;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    p += extra;
    return cp;
}

// ASCII and GBK keys stay below 0x10000; characters GBK lacks follow, by code point.
inline quint32 keyOf(const quint16 *table, char32_t cp)
{
    if (cp < 0x10000) {
        const quint16 k = table[cp];
        if (k != 0 || cp == 0)
            return k;
    }
    return 0x10000u + cp;
}

int collate(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return Pinyin::compare(static_cast<const char *>(a), lengthA, static_cast<const char *>(b),
                           lengthB);
}

} // namespace

int Pinyin::compare(const char *a, int lengthA, const char *b, int lengthB)
{
    const quint16 *table = keyTable();
    auto pa = reinterpret_cast<const unsigned char *>(a);
    auto pb = reinterpret_cast<const unsigned char *>(b);
    const auto ea = pa + lengthA;
    const auto eb = pb + lengthB;
    while (pa < ea && pb < eb) {
        if (*pa < 0x80 && *pb < 0x80) {
            const quint16 ka = table[*pa++];
            const quint16 kb = table[*pb++];
            if (ka != kb)
                return ka < kb ? -1 : 1;
            continue;
        }
        const char32_t ca = decode(pa, ea);
        const char32_t cb = decode(pb, eb);
        if (ca == cb)
            continue;
        const quint32 ka = keyOf(table, ca);
        const quint32 kb = keyOf(table, cb);
        if (ka != kb)
            return ka < kb ? -1 : 1;
        // Two characters with one GBK code: keep them apart, by code point.
        return ca < cb ? -1 : 1;
    }
    if (pa < ea)
        return 1;
    if (pb < eb)
        return -1;
    return 0;
}

int Pinyin::registerCollation(sqlite3 *db)
{
    keyTable();
    return sqlite3_create_collation_v2(db, collationName, SQLITE_UTF8, nullptr, collate, nullptr);
}
