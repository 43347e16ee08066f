// Pinyin initials of arbitrary text and of arbitrary GBK bytes.
#include "FuzzCheck.h"

#include "common/GbkCodec.h"
#include "common/uPub.h"

#include <cstdint>

namespace {
// ASCII kept as it is, otherwise an upper-case initial or a space.
bool isInitial(QChar c)
{
    return c.unicode() < 0x80 || c == u' ' || (c >= u'A' && c <= u'Z');
}

void checkText(const QString &text)
{
    const QString code = GetPYCode(text);
    FUZZ_CHECK(code.size() <= text.size());
    qsizetype j = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++j) {
        FUZZ_CHECK(j < code.size());
        const QChar c = text[i];
        FUZZ_CHECK(isInitial(code[j]));
        if (c.unicode() < 0x80)
            FUZZ_CHECK(code[j] == c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    FUZZ_CHECK(j == code.size());
    // Text and its GBK bytes give the same initials.
    const Gbk::Encoded enc = Gbk::encode(text);
    if (enc.ok())
        FUZZ_CHECK(GetPYCodeBytes(enc.bytes) == code);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString fromBytes = GetPYCodeBytes(bytes);
    FUZZ_CHECK(fromBytes.size() <= bytes.size());
    for (const QChar c : fromBytes)
        FUZZ_CHECK(isInitial(c));

    checkText(Gbk::decode(bytes));
    checkText(QString::fromUtf8(bytes));
    checkText(QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2)));
    return 0;
}
