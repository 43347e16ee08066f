#pragma once

#include <QObject>
#include <QString>

struct sqlite3;
class DataSet;

// One connection to an encrypted database file (SQLCipher).
//
// The connection string has the keys "Provider", "Data Source", "Persist Security Info" and
// "Jet OLEDB:Database Password", joined by ';'. Folder names in the data source are matched
// without regard to letter case. While connected the connection holds a shared flock on the
// file, so a whole-file copy (which takes an exclusive one) cannot run under it.
class Connection : public QObject
{
    Q_OBJECT
public:
    explicit Connection(QObject *parent = nullptr);
    ~Connection() override;

    void setConnectionString(const QString &text);
    QString connectionString() const;

    // Opens the file named by the connection string; throws DbError on any failure
    // (missing file, wrong password, not a database, locked). Does nothing when connected.
    void open();
    // Closes every dataset bound to this connection, then the file.
    void close();
    bool isConnected() const;

    // Runs one statement that returns no rows; returns the number of rows it changed.
    // Opens a closed connection first. Throws DbError.
    int execute(const QString &sql);
    // The row ID of the last inserted row.
    qint64 lastInsertId() const;

    // The raw handle, for the storage layer and benchmarks; null while disconnected.
    sqlite3 *handle() const;

    // Datasets register themselves so that close() closes them.
    void attach(DataSet *ds);
    void detach(DataSet *ds);

private:
    struct Impl;
    Impl *d;
};
