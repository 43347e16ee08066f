#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// A client-side static snapshot of one SELECT, with a current row.
//
// Fields are read by name (case-insensitive) or position, as text (NULL gives ""), integer or
// date-time. Rows can be appended, edited and deleted; post() writes the current row back to the
// table of the SELECT by its ID column, and an appended row receives its new ID. Appended rows
// stay at the end; order is applied only when the dataset is opened again. Every failure throws
// DbError and leaves the snapshot as it was before the call.
//
// afterScroll() is emitted after an open that yields at least one row, after each move of the
// current row, after an append (the new row has no ID yet) and after a delete.
class DataSet : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit DataSet(Connection *connection, QObject *parent = nullptr);
    ~DataSet() override;

    Connection *connection() const;
    void setCommandText(const QString &sql);
    QString commandText() const;

    // Connects a closed connection first. Throws DbError; the dataset then stays closed.
    void open();
    void close();
    bool isOpen() const;
    State state() const;

    bool isEmpty() const;
    int recordCount() const;
    // Index of the current row, -1 when there is none.
    int recNo() const;

    void first();
    void next();
    void prior();
    void last();
    // Makes row `index` current (0-based); emits afterScroll.
    void moveTo(int index);
    bool eof() const;  // past the last row (or empty)
    bool bof() const;

    // Field names of the snapshot, in SELECT order.
    QStringList fieldNames() const;
    int fieldIndex(const QString &name) const;  // -1 when there is no such field

    // Current row.
    QString asString(const QString &field) const;
    QString asString(int position) const;
    qint64 asInteger(const QString &field) const;
    QDateTime asDateTime(const QString &field) const;
    bool isNull(const QString &field) const;
    QVariant value(const QString &field) const;

    // Any row, without moving (for grid models). Returns "" for NULL.
    QString text(int row, int position) const;
    QVariant value(int row, int position) const;

    void append();
    void edit();
    void setField(const QString &field, const QVariant &value);
    void post();
    void cancel();
    void deleteRow();
    // Makes the row with this ID current; false (and no move) when there is none.
    bool locate(qint64 id);

    // Bytes the snapshot's rows take in memory.
    qsizetype memoryUsed() const;

signals:
    void afterScroll();
    // For grid models: the snapshot is replaced (open, close), or one row is added, changed or
    // removed. The "about to" signals come before the change, the others after it.
    void aboutToReset();
    void wasReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);

private:
    struct Impl;
    Impl *d;
};
