// The stored-password texts: HexToText, UnscrambleText and DecodePassword over arbitrary text,
// and the round trip of every password GBK can hold.
#include "FuzzCheck.h"

#include "common/GbkCodec.h"
#include "common/uPub.h"

#include <cstdint>

namespace {
void exercise(const QString &text)
{
    const QString hex = HexToText(text);
    // Two digits make one byte, and a byte never decodes to more than one character.
    FUZZ_CHECK(hex.size() <= text.size() / 2);
    const QString unscrambled = UnscrambleText(text);
    FUZZ_CHECK(unscrambled.size() == text.size());
    FUZZ_CHECK(ScrambleText(unscrambled).size() == text.size());
    const QString decoded = DecodePassword(text);
    FUZZ_CHECK(decoded.size() <= text.size() / 2);

    // Whatever GBK can hold is stored as upper-case hex digits, scrambled, and comes back.
    if (Gbk::canEncode(text)) {
        const QString stored = EncodePassword(text);
        FUZZ_CHECK(stored.size() == 2 * Gbk::encode(text).bytes.size());
        FUZZ_CHECK(DecodePassword(stored) == text);
        const QString plainHex = UnscrambleText(stored);
        for (const QChar c : plainHex)
            FUZZ_CHECK((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'));
        FUZZ_CHECK(HexToText(plainHex) == text);
    } else {
        bool refused = false;
        try {
            (void)EncodePassword(text);
        } catch (const FileError &) {
            refused = true;
        }
        FUZZ_CHECK(refused);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    exercise(QString::fromLatin1(bytes, qsizetype(size)));
    exercise(Gbk::decode(QByteArrayView(bytes, qsizetype(size))));
    exercise(QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2)));
    return 0;
}
