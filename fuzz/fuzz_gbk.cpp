// GBK decoding of arbitrary bytes, and re-encoding of what decoding gives.
#include "common/GbkCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = Gbk::decode(bytes);
    // Whatever decodes without replacement characters must encode back to the same bytes.
    if (!text.contains(QChar(QChar::ReplacementCharacter))) {
        const Gbk::Encoded enc = Gbk::encode(text);
        if (!enc.ok() || enc.bytes != bytes)
            std::abort();
    }
    // Arbitrary UTF-16 (including lone surrogates) never breaks the encoder.
    const QString utf16 =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2));
    const Gbk::Encoded e = Gbk::encode(utf16);
    if (e.ok() != Gbk::canEncode(utf16) || e.ok() != Gbk::unencodable(utf16).isEmpty())
        std::abort();
    (void)Gbk::encodeLossy(utf16);
    return 0;
}
