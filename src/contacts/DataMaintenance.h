#pragma once

#include <QDate>
#include <QString>

// Backup and restore of the database file, without the window.
namespace DataMaintenance {

// AppPath + "DB/ZARI.dat" as it exists on disk.
QString databaseFile(const QString &appPath);
// The backup folder, AppPath + "Bak".
QString backupFolder(const QString &appPath);
// The proposed backup file: "Bak/" + yyyyMMdd + ".WBK" under the application folder.
QString proposedBackup(const QString &appPath, const QDate &day);

// True when the file opens with the program's password and holds TLinkerClass, TLinker and
// TPara. The file is only read.
bool isContactDatabase(const QString &path);

} // namespace DataMaintenance
