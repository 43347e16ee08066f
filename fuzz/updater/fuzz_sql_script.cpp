// The script splitter over arbitrary bytes.
#include "updater/SqlScript.h"
#include "updater/UpdateCatalogue.h"

#include "common/GbkCodec.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QString> batches = SqlScript::splitBatches(bytes);
    const QList<QByteArray> lines = UpdateCatalogue::splitLines(bytes);
    qsizetype separators = 0;
    for (const QByteArray &line : lines)
        separators += SqlScript::isSeparatorLine(line) ? 1 : 0;
    // One batch per separator, and at most one after the last.
    if (batches.size() < separators || batches.size() > separators + 1)
        std::abort();
    for (const QString &batch : batches) {
        if (!batch.isEmpty() && !batch.endsWith(u"\r\n"_s))
            std::abort();
        // No separator line is ever sent to the database.
        for (const QString &line : batch.split(u"\r\n"_s))
            if (SqlScript::isSeparatorLine(Gbk::encodeLossy(line)))
                std::abort();
    }
    return 0;
}
