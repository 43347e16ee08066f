#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Update scripts: GBK lines, batches separated by lines that read "GO" once blanks and control
// characters are trimmed from both ends, in any letter case.
namespace SqlScript {

bool isSeparatorLine(const QByteArray &line);

// The batches of a script in the order they are submitted. Each line of a batch is kept as it
// is and followed by CR LF. A separator submits the batch before it whatever it holds (even
// empty); the batch after the last separator is submitted only when it is not blank.
QList<QString> splitBatches(const QByteArray &scriptBytes);

} // namespace SqlScript
