#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

struct sqlite3;

// The three tables of the contact database, the program's password and date serials.
namespace Schema {

// The password every program keys the database file with.
QString databasePassword();
// The client version a fresh database is stamped with.
QString initialClientVersion();

// Declared lengths of the text columns; longer values are rejected.
int maxLength(const QString &table, const QString &column);

// Creates TLinkerClass, TLinker and TPara inside one transaction. Throws DbError.
void create(sqlite3 *db);

// Creates a new database file at path (never replaces an existing one), keyed with password,
// with the schema and one TPara row holding clientVersion. Throws DbError; on failure no file
// is left behind.
void createDatabaseFile(const QString &path, const QString &password = databasePassword(),
                        const QString &clientVersion = initialClientVersion());

} // namespace Schema

// Date serials: day 0 is 1899-12-30, the fraction is the time of day.
namespace DateSerial {

QDate epoch();
qint64 fromDate(QDate date);
QDate toDate(qint64 serial);
QDateTime toDateTime(double serial);
double fromDateTime(const QDateTime &dateTime);

// The text a date-time column stores: "yyyy-MM-dd", with " hh:mm:ss" when there is a time.
QString toStoredText(const QDateTime &dateTime);
// Parses a stored text; an invalid QDateTime when it is not one. Date-times carry no zone
// (Qt::UTC), so no daylight-saving gap can make a stored value invalid.
QDateTime fromStoredText(const QString &text);

} // namespace DateSerial
