#pragma once

#include "data/DbError.h"

#include <QString>

#include <sqlite3.h>

#include <string>

// Small helpers over the SQLite C interface, for the storage layer only.
namespace Sql {

[[noreturn]] inline void fail(sqlite3 *db, const char *what)
{
    std::string text = what;
    if (db) {
        text += ": ";
        text += sqlite3_errmsg(db);
    }
    throw DbError(text);
}

// One prepared statement; finalized on destruction.
class Statement
{
public:
    Statement() = default;
    // Prepares the first statement of sql; the rest of the text must be blank or semicolons.
    Statement(sqlite3 *db, const QString &sql) : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, &tail) != SQLITE_OK)
            fail(db, "prepare");
        if (!m_stmt)
            throw DbError("empty statement");
        for (const char *p = tail; p && *p; ++p) {
            if (*p != ';' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') {
                sqlite3_finalize(m_stmt);
                m_stmt = nullptr;
                throw DbError("characters found after the end of the statement");
            }
        }
    }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&o) noexcept : m_db(o.m_db), m_stmt(o.m_stmt) { o.m_stmt = nullptr; }
    Statement &operator=(Statement &&o) noexcept
    {
        std::swap(m_db, o.m_db);
        std::swap(m_stmt, o.m_stmt);
        return *this;
    }
    ~Statement() { sqlite3_finalize(m_stmt); }

    sqlite3_stmt *get() const { return m_stmt; }
    sqlite3 *db() const { return m_db; }

    // SQLITE_ROW or SQLITE_DONE; throws on anything else.
    int step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            fail(m_db, "step");
        return rc;
    }
    void run()
    {
        while (step() == SQLITE_ROW) {
        }
    }

    void bindText(int i, const QString &v)
    {
        const QByteArray u = v.toUtf8();
        check(sqlite3_bind_text(m_stmt, i, u.constData(), int(u.size()), SQLITE_TRANSIENT));
    }
    void bindInt(int i, qint64 v) { check(sqlite3_bind_int64(m_stmt, i, v)); }
    void check(int rc)
    {
        if (rc != SQLITE_OK)
            fail(m_db, "bind");
    }

private:
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};

// Runs statements that return nothing of interest.
inline void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::string text = std::string("exec: ") + (err ? err : "");
        sqlite3_free(err);
        throw DbError(text);
    }
}

} // namespace Sql
