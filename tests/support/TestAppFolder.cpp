#include "TestAppFolder.h"

#include "common/uPub.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/uDM.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

// Keying a new file costs a key derivation; every folder copies one template instead.
QString templateDatabase()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(u"ZARI.dat"_s);
        Schema::createDatabaseFile(p);
        return p;
    }();
    return path;
}

QStringList column(Connection &connection, const QString &sql)
{
    DataSet ds(&connection);
    ds.setCommandText(sql);
    ds.open();
    QStringList values;
    for (int row = 0; row < ds.recordCount(); ++row)
        values << ds.text(row, 0);
    return values;
}

} // namespace

TestAppFolder::TestAppFolder()
{
    if (!m_dir.isValid())
        return;
    QDir root(m_dir.path());
    if (!root.mkpath(u"DB"_s) || !root.mkpath(u"Bak"_s))
        return;
    try {
        m_valid = QFile::copy(templateDatabase(), dbPath());
    } catch (const DbError &) {
        m_valid = false;
    }
    if (m_valid)
        QFile::setPermissions(dbPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::ReadOther);
}

QString TestAppFolder::path() const
{
    return m_dir.path() + u'/';
}

QString TestAppFolder::dbPath() const
{
    return path() + u"DB/ZARI.dat"_s;
}

QString TestAppFolder::connectionString() const
{
    return TDM::connectionStringFor(path(), u"DB/ZARI.dat"_s);
}

qint64 TestAppFolder::addCategory(const QString &titleName)
{
    Connection connection;
    connection.setConnectionString(connectionString());
    connection.open();
    Sql::Statement stmt(connection.handle(), u"INSERT INTO TLinkerClass(TitleName) VALUES (?)"_s);
    stmt.bindText(1, titleName);
    stmt.run();
    return connection.lastInsertId();
}

qint64 TestAppFolder::addContact(qint64 classId, const Contact &contact)
{
    return addContacts(classId, {contact}).value(0, -1);
}

QList<qint64> TestAppFolder::addContacts(qint64 classId, const QList<Contact> &contacts)
{
    Connection connection;
    connection.setConnectionString(connectionString());
    connection.open();
    sqlite3 *db = connection.handle();
    QList<qint64> ids;
    Sql::exec(db, "BEGIN");
    try {
        Sql::Statement stmt(
            db, u"INSERT INTO TLinker(ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,Fax,QICQ,"
                u"WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) "
                u"VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"_s);
        for (const Contact &c : contacts) {
            stmt.bindInt(1, classId);
            stmt.bindText(2, c.linker);
            stmt.bindText(3, c.pyCode.isNull() ? GetPYCode(c.linker) : c.pyCode);
            const QString *texts[] = {&c.job,      &c.tele,    &c.mobileCode, &c.homeTele, &c.fax,
                                      &c.qicq,     &c.ww,      &c.zfbCode,    &c.alww,     &c.email,
                                      &c.birthday, &c.address, &c.fancy,      &c.desp};
            for (int i = 0; i < int(std::size(texts)); ++i)
                stmt.bindText(4 + i, *texts[i]);
            if (c.mobileIsNull)
                stmt.check(sqlite3_bind_null(stmt.get(), 6));
            stmt.run();
            sqlite3_reset(stmt.get());
            ids << sqlite3_last_insert_rowid(db);
        }
        Sql::exec(db, "COMMIT");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    return ids;
}

int TestAppFolder::exec(const QString &sql)
{
    Connection connection;
    connection.setConnectionString(connectionString());
    return connection.execute(sql);
}

QString TestAppFolder::queryValue(const QString &sql)
{
    return queryColumn(sql).value(0);
}

QStringList TestAppFolder::queryColumn(const QString &sql)
{
    Connection connection;
    connection.setConnectionString(connectionString());
    return column(connection, sql);
}

QByteArray TestAppFolder::dbBytes() const
{
    QFile f(dbPath());
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
