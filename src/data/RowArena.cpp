#include "data/RowArena.h"

#include "data/DbError.h"
#include "data/Schema.h"

#include <sqlite3.h>

#include <QDateTime>

#include <cstring>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

enum : quint8
{
    TagNull = 0,
    TagInteger = 1,
    TagReal = 2,
    TagText = 3,
    TagBlob = 4,
    TagShort = 0x80
};

inline void putVarint(QByteArray &out, quint64 v)
{
    while (v >= 0x80) {
        out.append(char(v | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

inline quint64 getVarint(const char *&p)
{
    quint64 v = 0;
    int shift = 0;
    for (;;) {
        const auto b = quint8(*p++);
        v |= quint64(b & 0x7F) << shift;
        if (!(b & 0x80))
            return v;
        shift += 7;
    }
}

inline quint64 zigzag(qint64 v)
{
    return (quint64(v) << 1) ^ quint64(v >> 63);
}

inline qint64 unzigzag(quint64 v)
{
    return qint64(v >> 1) ^ -qint64(v & 1);
}

inline void putBytes(QByteArray &out, quint8 tag, const char *data, qsizetype size)
{
    if (tag == TagText && size < 0x80) {
        out.append(char(TagShort | size));
    } else {
        out.append(char(tag));
        putVarint(out, quint64(size));
    }
    out.append(data, size);
}

// Skips one cell and returns the pointer past it.
inline const char *skipCell(const char *p)
{
    const auto tag = quint8(*p++);
    if (tag & TagShort)
        return p + (tag & 0x7F);
    switch (tag) {
    case TagNull:
        return p;
    case TagInteger:
        getVarint(p);
        return p;
    case TagReal:
        return p + 8;
    default: {
        const quint64 n = getVarint(p);
        return p + n;
    }
    }
}

} // namespace

QString RowArena::Cell::toString() const
{
    switch (type) {
    case Type::Null:
        return QString();
    case Type::Integer:
        return QString::number(integer);
    case Type::Real:
        return QString::number(real, 'g', 15);
    case Type::Text:
        return QString::fromUtf8(data, size);
    case Type::Blob:
        return QString::fromUtf8(data, size);
    }
    return QString();
}

QVariant RowArena::Cell::toVariant() const
{
    switch (type) {
    case Type::Null:
        return QVariant();
    case Type::Integer:
        return QVariant(integer);
    case Type::Real:
        return QVariant(real);
    case Type::Text:
        return QVariant(QString::fromUtf8(data, size));
    case Type::Blob:
        return QVariant(QByteArray(data, size));
    }
    return QVariant();
}

void RowArena::reset(int columns)
{
    m_data = QByteArray();
    m_offsets = {};
    m_garbage = 0;
    m_columns = columns;
}

void RowArena::appendFromStatement(sqlite3_stmt *stmt)
{
    const qsizetype start = m_data.size();
    if (start > qsizetype(std::numeric_limits<quint32>::max()))
        throw DbError("result too large");
    for (int c = 0; c < m_columns; ++c) {
        switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
            m_data.append(char(TagInteger));
            putVarint(m_data, zigzag(sqlite3_column_int64(stmt, c)));
            break;
        case SQLITE_FLOAT: {
            const double v = sqlite3_column_double(stmt, c);
            m_data.append(char(TagReal));
            m_data.append(reinterpret_cast<const char *>(&v), 8);
            break;
        }
        case SQLITE_TEXT: {
            const auto text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
            putBytes(m_data, TagText, text, sqlite3_column_bytes(stmt, c));
            break;
        }
        case SQLITE_BLOB: {
            const auto blob = static_cast<const char *>(sqlite3_column_blob(stmt, c));
            putBytes(m_data, TagBlob, blob, sqlite3_column_bytes(stmt, c));
            break;
        }
        default:
            m_data.append(char(TagNull));
            break;
        }
    }
    m_offsets.push_back(quint32(start));
}

void RowArena::encode(QByteArray &out, const QVariant &v) const
{
    if (v.isNull()) {
        out.append(char(TagNull));
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        out.append(char(TagInteger));
        putVarint(out, zigzag(v.toLongLong()));
        return;
    case QMetaType::Double: {
        const double d = v.toDouble();
        out.append(char(TagReal));
        out.append(reinterpret_cast<const char *>(&d), 8);
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        putBytes(out, TagBlob, b.constData(), b.size());
        return;
    }
    case QMetaType::QDate: {
        const QByteArray u = v.toDate().toString(u"yyyy-MM-dd"_s).toUtf8();
        putBytes(out, TagText, u.constData(), u.size());
        return;
    }
    case QMetaType::QDateTime: {
        const QByteArray u = DateSerial::toStoredText(v.toDateTime()).toUtf8();
        putBytes(out, TagText, u.constData(), u.size());
        return;
    }
    default: {
        const QByteArray u = v.toString().toUtf8();
        putBytes(out, TagText, u.constData(), u.size());
        return;
    }
    }
}

void RowArena::squeeze()
{
    m_data.squeeze();
    m_offsets.shrink_to_fit();
}

void RowArena::appendRow(const std::vector<QVariant> &values)
{
    const qsizetype start = m_data.size();
    if (start > qsizetype(std::numeric_limits<quint32>::max()))
        throw DbError("result too large");
    for (int c = 0; c < m_columns; ++c)
        encode(m_data, c < int(values.size()) ? values[c] : QVariant());
    m_offsets.push_back(quint32(start));
}

void RowArena::replaceRow(int row, const std::vector<QVariant> &values)
{
    const quint32 old = m_offsets[row];
    const char *p = m_data.constData() + old;
    for (int c = 0; c < m_columns; ++c)
        p = skipCell(p);
    const qsizetype start = m_data.size();
    if (start > qsizetype(std::numeric_limits<quint32>::max()))
        throw DbError("result too large");
    m_garbage += p - (m_data.constData() + old);
    for (int c = 0; c < m_columns; ++c)
        encode(m_data, c < int(values.size()) ? values[c] : QVariant());
    m_offsets[row] = quint32(start);
    compactIfWasteful();
}

void RowArena::removeRow(int row)
{
    const char *begin = m_data.constData() + m_offsets[row];
    const char *p = begin;
    for (int c = 0; c < m_columns; ++c)
        p = skipCell(p);
    m_garbage += p - begin;
    m_offsets.erase(m_offsets.begin() + row);
    compactIfWasteful();
}

void RowArena::compactIfWasteful()
{
    if (m_garbage < 4096 || m_garbage * 2 < m_data.size())
        return;
    QByteArray packed;
    packed.reserve(m_data.size() - m_garbage);
    for (quint32 &offset : m_offsets) {
        const char *begin = m_data.constData() + offset;
        const char *p = begin;
        for (int c = 0; c < m_columns; ++c)
            p = skipCell(p);
        offset = quint32(packed.size());
        packed.append(begin, p - begin);
    }
    m_data = std::move(packed);
    m_garbage = 0;
}

RowArena::Cell RowArena::cell(int row, int column) const
{
    const char *p = m_data.constData() + m_offsets[row];
    for (int c = 0; c < column; ++c)
        p = skipCell(p);
    Cell cell;
    const auto tag = quint8(*p++);
    if (tag & TagShort) {
        cell.type = Type::Text;
        cell.size = tag & 0x7F;
        cell.data = p;
        return cell;
    }
    switch (tag) {
    case TagNull:
        break;
    case TagInteger:
        cell.type = Type::Integer;
        cell.integer = unzigzag(getVarint(p));
        break;
    case TagReal:
        cell.type = Type::Real;
        std::memcpy(&cell.real, p, 8);
        break;
    default:
        cell.type = tag == TagText ? Type::Text : Type::Blob;
        cell.size = int(getVarint(p));
        cell.data = p;
        break;
    }
    return cell;
}

std::vector<QVariant> RowArena::rowValues(int row) const
{
    std::vector<QVariant> values;
    values.reserve(m_columns);
    for (int c = 0; c < m_columns; ++c)
        values.push_back(cell(row, c).toVariant());
    return values;
}

qsizetype RowArena::memoryUsed() const
{
    return m_data.capacity() + qsizetype(m_offsets.capacity() * sizeof(quint32));
}
