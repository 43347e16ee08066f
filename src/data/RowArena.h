#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

struct sqlite3_stmt;

// The rows of a snapshot, encoded one after another in one buffer. Each cell is a tag byte,
// then its payload: a text of up to 127 bytes is the tag 0x80 | length followed by its UTF-8
// bytes; longer texts and blobs carry a varint length; integers a zig-zag varint; reals eight
// bytes. Rows are found through one offset each. Replaced rows are written at the end and the
// space they left is reclaimed once it outweighs the live rows.
class RowArena
{
public:
    enum class Type : quint8
    {
        Null,
        Integer,
        Real,
        Text,
        Blob
    };

    // One decoded cell; text and blob point into the arena (valid until the next change).
    struct Cell
    {
        Type type = Type::Null;
        qint64 integer = 0;
        double real = 0;
        const char *data = nullptr;
        int size = 0;

        QString toString() const;
        QVariant toVariant() const;
    };

    int rowCount() const { return int(m_offsets.size()); }
    int columnCount() const { return m_columns; }
    void reset(int columns);

    // Appends the current row of a stepped statement.
    void appendFromStatement(sqlite3_stmt *stmt);
    // Appends or replaces a row from values (one per column).
    void appendRow(const std::vector<QVariant> &values);
    void replaceRow(int row, const std::vector<QVariant> &values);
    void removeRow(int row);
    // Gives back the spare capacity left by loading.
    void squeeze();

    Cell cell(int row, int column) const;
    std::vector<QVariant> rowValues(int row) const;

    // Bytes held: the buffer and the offsets.
    qsizetype memoryUsed() const;

private:
    void encode(QByteArray &out, const QVariant &v) const;
    void compactIfWasteful();

    QByteArray m_data;
    std::vector<quint32> m_offsets;
    qsizetype m_garbage = 0;
    int m_columns = 0;
};
