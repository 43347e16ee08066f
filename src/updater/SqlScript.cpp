#include "updater/SqlScript.h"

#include "common/GbkCodec.h"
#include "updater/UpdateCatalogue.h"

using namespace Qt::StringLiterals;

namespace SqlScript {

namespace {
bool isBlankByte(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

QByteArray trimmed(const QByteArray &line)
{
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && isBlankByte(line.at(b)))
        ++b;
    while (e > b && isBlankByte(line.at(e - 1)))
        --e;
    return line.mid(b, e - b);
}
} // namespace

bool isSeparatorLine(const QByteArray &line)
{
    const QByteArray t = trimmed(line);
    return t.size() == 2 && (t.at(0) == 'G' || t.at(0) == 'g') &&
           (t.at(1) == 'O' || t.at(1) == 'o');
}

QList<QString> splitBatches(const QByteArray &scriptBytes)
{
    QList<QString> batches;
    const QList<QByteArray> lines = UpdateCatalogue::splitLines(scriptBytes);
    QByteArray batch;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (isSeparatorLine(lines.at(i))) {
            batches.append(Gbk::decode(batch));
            batch.clear();
            continue;
        }
        batch += lines.at(i);
        batch += "\r\n";
        if (i == lines.size() - 1 && !trimmed(batch).isEmpty())
            batches.append(Gbk::decode(batch));
    }
    return batches;
}

} // namespace SqlScript
