#include "data/Schema.h"

#include "data/DbError.h"
#include "data/PinyinCollation.h"
#include "data/Statement.h"

#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct TextColumn
{
    const char *table;
    const char *name;
    int length;
};

constexpr TextColumn textColumns[] = {
    {"TLinkerClass", "TitleName", 50}, {"TLinker", "Linker", 30},
    {"TLinker", "PYCode", 60},         {"TLinker", "Job", 20},
    {"TLinker", "Tele", 30},           {"TLinker", "MobileCode", 30},
    {"TLinker", "HomeTele", 30},       {"TLinker", "Fax", 20},
    {"TLinker", "QICQ", 50},           {"TLinker", "WW", 50},
    {"TLinker", "ZFBCode", 50},        {"TLinker", "ALWW", 20},
    {"TLinker", "EMail", 30},          {"TLinker", "Address", 50},
    {"TLinker", "Fancy", 100},         {"TLinker", "Desp", 250},
    {"TPara", "ClientVer", 50},
};

std::string textColumn(const char *table, const char *name)
{
    for (const auto &c : textColumns) {
        if (qstrcmp(c.table, table) == 0 && qstrcmp(c.name, name) == 0) {
            const std::string n = name;
            return n + " TEXT COLLATE " + Pinyin::collationName + " CHECK(length(" + n +
                   ") <= " + std::to_string(c.length) + ")";
        }
    }
    throw DbError("unknown column");
}

// A date-time holds a date serial (a number) or the text of a real date, with or without a
// time; "2023-02-29" and "" are refused. The '+0 days' makes date() carry an impossible day over
// into the next month, so the text no longer matches.
constexpr const char *birthdayColumn =
    "Birthday DATETIME CHECK(Birthday IS NULL"
    " OR typeof(Birthday) IN ('integer', 'real')"
    " OR (Birthday GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' AND date(Birthday, '+0 days') "
    "IS Birthday)"
    " OR (Birthday GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] "
    "[0-9][0-9]:[0-9][0-9]:[0-9][0-9]'"
    " AND datetime(Birthday, '+0 days') IS Birthday))";

std::string schemaSql()
{
    std::string s = "CREATE TABLE TLinkerClass(ID INTEGER PRIMARY KEY AUTOINCREMENT, " +
                    textColumn("TLinkerClass", "TitleName") + ");\n";
    s += "CREATE TABLE TLinker(ID INTEGER PRIMARY KEY AUTOINCREMENT, ClassID INTEGER";
    for (const char *c : {"Linker", "PYCode", "Job", "Tele", "MobileCode", "HomeTele", "Fax",
                          "QICQ", "WW", "ZFBCode", "ALWW", "EMail"})
        s += ", " + textColumn("TLinker", c);
    s += ", ";
    s += birthdayColumn;
    for (const char *c : {"Address", "Fancy", "Desp"})
        s += ", " + textColumn("TLinker", c);
    s += ");\n";
    s += "CREATE INDEX TLinker_ClassID ON TLinker(ClassID);\n";
    s += "CREATE TABLE TPara(" + textColumn("TPara", "ClientVer") + ");\n";
    return s;
}

} // namespace

QString Schema::databasePassword()
{
    return u"qmzt51739260"_s;
}

QString Schema::initialClientVersion()
{
    return u"2026121100"_s;
}

int Schema::maxLength(const QString &table, const QString &column)
{
    for (const auto &c : textColumns) {
        if (table.compare(QLatin1StringView(c.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1StringView(c.name), Qt::CaseInsensitive) == 0)
            return c.length;
    }
    return -1;
}

void Schema::create(sqlite3 *db)
{
    Sql::exec(db, "BEGIN IMMEDIATE");
    try {
        Sql::exec(db, schemaSql().c_str());
        Sql::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Schema::createDatabaseFile(const QString &path, const QString &password,
                                const QString &clientVersion)
{
    const QByteArray native = QFile::encodeName(path);
    // O_EXCL: an existing file is never replaced, not even by a race.
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw DbError("cannot create " + native.toStdString() + ": " + std::strerror(errno));
    ::close(fd);

    sqlite3 *db = nullptr;
    try {
        if (sqlite3_open_v2(native.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            Sql::fail(db, "open");
        const QByteArray key = password.toUtf8();
        if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
            Sql::fail(db, "key");
        if (Pinyin::registerCollation(db) != SQLITE_OK)
            Sql::fail(db, "collation");
        create(db);
        Sql::Statement insert(db, u"INSERT INTO TPara(ClientVer) VALUES (?)"_s);
        insert.bindText(1, clientVersion);
        insert.run();
        insert = Sql::Statement();
        if (sqlite3_close(db) != SQLITE_OK)
            Sql::fail(db, "close");
    } catch (...) {
        sqlite3_close(db);
        ::unlink(native.constData());
        throw;
    }
}

QDate DateSerial::epoch()
{
    return QDate(1899, 12, 30);
}

qint64 DateSerial::fromDate(QDate date)
{
    return epoch().daysTo(date);
}

QDate DateSerial::toDate(qint64 serial)
{
    return epoch().addDays(serial);
}

QDateTime DateSerial::toDateTime(double serial)
{
    // As in the classic date serial, the fraction is the time of day even for negative days.
    const double days = std::trunc(serial);
    const double fraction = std::fabs(serial - days);
    const qint64 ms = qint64(std::llround(fraction * 86400000.0));
    return QDateTime(toDate(qint64(days)), QTime(0, 0), Qt::UTC).addMSecs(ms);
}

double DateSerial::fromDateTime(const QDateTime &dateTime)
{
    const double days = double(fromDate(dateTime.date()));
    const double fraction = dateTime.time().msecsSinceStartOfDay() / 86400000.0;
    return days < 0 ? days - fraction : days + fraction;
}

QString DateSerial::toStoredText(const QDateTime &dateTime)
{
    if (dateTime.time() == QTime(0, 0))
        return dateTime.date().toString(u"yyyy-MM-dd"_s);
    return dateTime.toString(u"yyyy-MM-dd hh:mm:ss"_s);
}

QDateTime DateSerial::fromStoredText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() == 10) {
        const QDate d = QDate::fromString(t, u"yyyy-MM-dd"_s);
        return d.isValid() ? QDateTime(d, QTime(0, 0), Qt::UTC) : QDateTime();
    }
    for (const QString &format : {u"yyyy-MM-dd hh:mm:ss"_s, u"yyyy-MM-ddThh:mm:ss"_s,
                                  u"yyyy-MM-dd hh:mm:ss.zzz"_s, u"yyyy-MM-dd hh:mm"_s}) {
        QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid()) {
            dt.setTimeSpec(Qt::UTC);
            return dt;
        }
    }
    return QDateTime();
}
