#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What a run does with the chosen entries (reverse catalogue order, as chosen).
namespace ApplyPlan {

struct Download
{
    QString serverName;
    QString urlPath;   // "/QuilloBook/CLIENT/<server name>" or "/QuilloBook/SQL/<server name>"
    QString localPath; // relative to the working folder: "CLIENT/<local>" or "SQL/<local>"
};

// Downloads in list order (last chosen catalogue line first). Kinds compare in upper case;
// other kinds and entries without ']' download nothing.
QList<Download> downloads(const QList<QByteArray> &entries);

struct Steps
{
    QList<QString> scripts;     // local names under SQL/, in catalogue order
    QList<QString> clientFiles; // local names under CLIENT/ and the application folder
};

// Scripts and client files in catalogue order. Only entries that begin with exactly "[SQL]"
// or "[CLIENT]" are applied; the local name runs up to the first TAB (empty without one).
Steps steps(const QList<QByteArray> &entries);

} // namespace ApplyPlan
