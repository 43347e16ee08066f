#include "data/Connection.h"

#include "common/ResolvePath.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/PinyinCollation.h"
#include "data/Statement.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPointer>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int busyTimeoutMs = 5000;
// Negative: KiB. Large enough to hold a typical contact file, so repeated searches over the
// whole table do not decrypt its pages again.
constexpr const char *cacheSizePragma = "PRAGMA cache_size = -65536";

struct Settings
{
    QString provider;
    QString dataSource;
    QString password;
};

QString unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 &&
        ((v.startsWith(u'"') && v.endsWith(u'"')) || (v.startsWith(u'\'') && v.endsWith(u'\''))))
        v = v.mid(1, v.size() - 2);
    return v;
}

Settings parse(const QString &text)
{
    Settings s;
    const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        const QString value = unquote(part.mid(eq + 1));
        if (key.compare(u"Provider"_s, Qt::CaseInsensitive) == 0)
            s.provider = value;
        else if (key.compare(u"Data Source"_s, Qt::CaseInsensitive) == 0)
            s.dataSource = value;
        else if (key.compare(u"Jet OLEDB:Database Password"_s, Qt::CaseInsensitive) == 0)
            s.password = value;
    }
    return s;
}

bool knownProvider(const QString &provider)
{
    // The original provider name is accepted as a synonym, so connection strings written for
    // it keep working.
    return provider.isEmpty() || provider.compare(u"SQLCipher"_s, Qt::CaseInsensitive) == 0 ||
           provider.compare(u"Microsoft.Jet.OLEDB.4.0"_s, Qt::CaseInsensitive) == 0;
}

} // namespace

struct Connection::Impl
{
    QString connectionString;
    sqlite3 *db = nullptr;
    int lockFd = -1;
    QList<QPointer<DataSet>> datasets;

    void release()
    {
        if (db) {
            sqlite3_close_v2(db);
            db = nullptr;
        }
        // Closed only after SQLite has closed its own descriptors: closing another descriptor
        // of the file while SQLite holds its POSIX locks would drop them.
        if (lockFd >= 0) {
            ::close(lockFd);
            lockFd = -1;
        }
    }
};

Connection::Connection(QObject *parent) : QObject(parent), d(new Impl) {}

Connection::~Connection()
{
    close();
    delete d;
}

void Connection::setConnectionString(const QString &text)
{
    d->connectionString = text;
}

QString Connection::connectionString() const
{
    return d->connectionString;
}

void Connection::open()
{
    if (d->db)
        return;
    const Settings s = parse(d->connectionString);
    if (!knownProvider(s.provider))
        throw DbError("provider not found: " + s.provider.toStdString());
    if (s.dataSource.isEmpty())
        throw DbError("no data source");

    const QString path = resolveCaseInsensitive(s.dataSource);
    const QByteArray native = QFile::encodeName(path);
    const QFileInfo info(path);
    if (!info.exists())
        throw DbError("file not found: " + native.toStdString());
    if (!info.isFile())
        throw DbError("not a file: " + native.toStdString());
    // An empty file would be taken for a new, empty database.
    if (info.size() == 0)
        throw DbError("not a database: " + native.toStdString());

    try {
        d->lockFd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
        if (d->lockFd < 0)
            throw DbError("cannot open " + native.toStdString() + ": " + std::strerror(errno));
        if (::flock(d->lockFd, LOCK_SH | LOCK_NB) != 0)
            throw DbError("file is locked: " + native.toStdString());

        if (sqlite3_open_v2(native.constData(), &d->db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            Sql::fail(d->db, "open");
        const QByteArray key = s.password.toUtf8();
        if (sqlite3_key(d->db, key.constData(), int(key.size())) != SQLITE_OK)
            Sql::fail(d->db, "key");
        sqlite3_busy_timeout(d->db, busyTimeoutMs);
        // A wrong key or a file that is no database fails on the first page read.
        Sql::exec(d->db, "SELECT count(*) FROM sqlite_master");
        Sql::exec(d->db, cacheSizePragma);
        if (Pinyin::registerCollation(d->db) != SQLITE_OK)
            Sql::fail(d->db, "collation");
    } catch (...) {
        d->release();
        throw;
    }
}

void Connection::close()
{
    const auto datasets = d->datasets;
    for (const auto &ds : datasets) {
        if (ds)
            ds->close();
    }
    d->release();
}

bool Connection::isConnected() const
{
    return d->db != nullptr;
}

int Connection::execute(const QString &sql)
{
    open();
    if (sql.trimmed().isEmpty())
        throw DbError("command text not set");
    Sql::Statement stmt(d->db, sql);
    const int before = sqlite3_total_changes(d->db);
    stmt.run();
    return sqlite3_total_changes(d->db) - before;
}

qint64 Connection::lastInsertId() const
{
    return d->db ? sqlite3_last_insert_rowid(d->db) : 0;
}

sqlite3 *Connection::handle() const
{
    return d->db;
}

void Connection::attach(DataSet *ds)
{
    d->datasets.removeAll(nullptr);
    if (!d->datasets.contains(ds))
        d->datasets.append(ds);
}

void Connection::detach(DataSet *ds)
{
    d->datasets.removeAll(ds);
    d->datasets.removeAll(nullptr);
}
