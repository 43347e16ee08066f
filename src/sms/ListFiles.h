#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The list files of the SMS window: GBK text, one entry per line. Reading accepts CR LF, LF and
// CR as line ends; writing ends every line with CR LF and replaces the file through a temporary
// file and a rename. Every failure throws FileError.
namespace ListFiles {

// The lines of GBK bytes; a final line end does not start another (empty) line.
std::vector<QString> splitLines(QByteArrayView bytes,
                                const std::function<void(qsizetype)> &progress = {});
std::vector<QString> readLines(const QString &path,
                               const std::function<void(qsizetype)> &progress = {});

// Every entry followed by CR LF, as GBK. Throws FileError when an entry has a character GBK
// lacks (nothing is written then).
QByteArray joinLines(const std::vector<QString> &lines);
QByteArray joinLines(const QStringList &lines);
void writeLines(const QString &path, const std::vector<QString> &lines);
void writeLines(const QString &path, const QStringList &lines);

// A whole text file, GBK, unchanged.
QString readText(const QString &path);
void writeText(const QString &path, const QString &text);

// Replaces path by these bytes (temporary file and rename).
void writeBytes(const QString &path, const QByteArray &bytes);

} // namespace ListFiles
