// The list-file reader and writer, the list check of an imported list, and the keyword
// screening over arbitrary file bytes.
#include "FuzzCheck.h"

#include "common/FileError.h"
#include "common/uPub.h"
#include "sms/ListFiles.h"
#include "sms/RecipientList.h"
#include "sms/SmsContent.h"

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {
qsizetype lineEnds(const QByteArray &b)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == '\n' || b[i] == '\r') {
            ++n;
            if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n')
                ++i;
        }
    }
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::vector<QString> lines = ListFiles::splitLines(bytes);
    const bool openLast = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    FUZZ_CHECK(qsizetype(lines.size()) == lineEnds(bytes) + (openLast ? 1 : 0));
    for (const QString &l : lines)
        FUZZ_CHECK(!l.contains(u'\r') && !l.contains(u'\n'));

    // What can be written reads back line for line.
    try {
        const QByteArray written = ListFiles::joinLines(lines);
        FUZZ_CHECK(ListFiles::splitLines(written) == lines);
        if (!bytes.contains('\r') && bytes.endsWith('\n'))
            FUZZ_CHECK(written == QByteArray(bytes).replace("\n", "\r\n"));
    } catch (const FileError &) {
        // Only a line GBK cannot hold (a byte that did not decode) is refused.
        bool unencodable = false;
        for (const QString &l : lines)
            unencodable = unencodable || l.contains(QChar(QChar::ReplacementCharacter));
        FUZZ_CHECK(unencodable);
    }

    // The list check keeps exactly the valid numbers, trimmed and in order, and gives back the
    // others in reverse order.
    std::vector<QString> entries = lines;
    const QStringList rejected = checkMobileList(entries);
    FUZZ_CHECK(qsizetype(entries.size()) + rejected.size() == qsizetype(lines.size()));
    size_t k = 0;
    qsizetype r = rejected.size();
    for (const QString &l : lines) {
        if (IsMobileCode(l)) {
            FUZZ_CHECK(k < entries.size() && entries[k] == trimBlanks(l));
            FUZZ_CHECK(entries[k].size() == 11);
            ++k;
        } else {
            FUZZ_CHECK(r > 0 && rejected[--r] == l);
        }
    }

    // Keyword screening: the first lines as keywords, the rest as the message.
    const QStringList keywords(lines.begin(),
                               lines.begin() + qsizetype(std::min<size_t>(lines.size(), 8)));
    const QString text = QStringList(lines.begin(), lines.end()).join(u'\n');
    const QString found = SmsContent::screen(keywords, text);
    FUZZ_CHECK(found.isEmpty() || found.endsWith(u';'));
    for (const QString &k2 : keywords)
        FUZZ_CHECK(k2.isEmpty() || found.contains(k2));
    return 0;
}
