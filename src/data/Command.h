#pragma once

#include <QString>

class Connection;

// Runs one statement that returns no rows. Opens a closed connection first; throws DbError.
class Command
{
public:
    explicit Command(Connection *connection) : m_connection(connection) {}
    void setCommandText(const QString &sql) { m_sql = sql; }
    QString commandText() const { return m_sql; }
    // Returns the number of rows the statement changed.
    int execute();

private:
    Connection *m_connection;
    QString m_sql;
};
