#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The update catalogue (UpdateCnt.txt): GBK lines of the form
//   <10-byte stamp>[<KIND>]<local name>\t<server name>
// The part after the stamp is the line's entry text.
namespace UpdateCatalogue {

// Splits file bytes into lines ending in CR LF, LF or CR. A final line break does not start
// another line.
QList<QByteArray> splitLines(const QByteArray &bytes);

// Ordinal comparison: byte by byte as unsigned values; a prefix is smaller than the longer text.
int compareVersions(const QByteArray &a, const QByteArray &b);
inline bool versionLess(const QByteArray &a, const QByteArray &b)
{
    return compareVersions(a, b) < 0;
}

// The stamp (first ten bytes, or the whole line when shorter) and entry text (the rest).
QByteArray stampOf(const QByteArray &line);
QByteArray entryTextOf(const QByteArray &line);

// Index of the first item equal to text (exact), or -1.
int FindListItem(const QList<QByteArray> &list, const QByteArray &text);

struct Choice
{
    // Every distinct new entry text once, at the place of its last occurrence, in reverse
    // catalogue order.
    QList<QByteArray> entries;
    // The largest of oldVer and the stamps of all lines, chosen or not.
    QByteArray newVer;
};

// Chooses the entries whose stamp is larger than oldVer.
Choice chooseEntries(const QList<QByteArray> &lines, const QByteArray &oldVer);

// One entry text split into its fields. Backslashes in the names are turned into '/'.
struct Entry
{
    QString kind;       // between the first character and the first ']'
    QString localName;  // after that ']' up to the first TAB; empty without a TAB
    QString serverName; // after that TAB
    bool hasBracket = false;
};
Entry splitEntry(const QByteArray &entryText);

// True for a name that stays inside the folder it is appended to: not absolute (no leading '/',
// no drive letter) and without a ".." component.
bool isSafeName(const QString &name);

// The names of chosen entries that would be downloaded or applied (kind CLIENT or SQL in any
// letter case) and are not safe, local or server, in the order of the list.
QStringList unsafeNames(const QList<QByteArray> &entries);

} // namespace UpdateCatalogue
