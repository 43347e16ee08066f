#include "data/DataSet.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/RowArena.h"
#include "data/Schema.h"
#include "data/Statement.h"

#include <QPointer>
#include <QRegularExpression>

#include <cmath>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString quoteIdentifier(QString name)
{
    name.replace(u'"', u"\"\""_s);
    return u'"' + name + u'"';
}

// The table a SELECT reads: the first name after "from".
QString tableOf(const QString &sql)
{
    static const QRegularExpression re(u"\\bfrom\\s+[\\[\"`]?([A-Za-z_][A-Za-z0-9_]*)"_s,
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

void bindValue(Sql::Statement &stmt, int i, const QVariant &v)
{
    sqlite3_stmt *s = stmt.get();
    if (v.isNull()) {
        stmt.check(sqlite3_bind_null(s, i));
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        stmt.bindInt(i, v.toLongLong());
        return;
    case QMetaType::Double:
        stmt.check(sqlite3_bind_double(s, i, v.toDouble()));
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        stmt.check(sqlite3_bind_blob(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT));
        return;
    }
    case QMetaType::QDate:
        stmt.bindText(i, v.toDate().toString(u"yyyy-MM-dd"_s));
        return;
    case QMetaType::QDateTime:
        stmt.bindText(i, DateSerial::toStoredText(v.toDateTime()));
        return;
    default:
        stmt.bindText(i, v.toString());
        return;
    }
}

qint64 integerOf(const RowArena::Cell &c)
{
    switch (c.type) {
    case RowArena::Type::Null:
        return 0;
    case RowArena::Type::Integer:
        return c.integer;
    case RowArena::Type::Real:
        return std::llround(c.real);
    default: {
        bool ok = false;
        const qint64 v = c.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw DbError("value is not an integer");
        return v;
    }
    }
}

} // namespace

struct DataSet::Impl
{
    QPointer<Connection> connection;
    QString sql;
    State state = State::Inactive;
    QStringList names;
    RowArena rows;
    int current = -1;
    bool eof = true;
    bool bof = true;
    QString table;
    int idColumn = -1;

    // The current row while it is edited or appended.
    std::vector<QVariant> buffer;
    std::vector<bool> modified;
    int previous = -1;

    bool editing() const { return state == State::Edit || state == State::Insert; }

    RowArena::Cell cell(int row, int column) const { return rows.cell(row, column); }
};

DataSet::DataSet(Connection *connection, QObject *parent) : QObject(parent), d(new Impl)
{
    d->connection = connection;
    if (connection)
        connection->attach(this);
}

DataSet::~DataSet()
{
    if (d->connection)
        d->connection->detach(this);
    delete d;
}

Connection *DataSet::connection() const
{
    return d->connection;
}

void DataSet::setCommandText(const QString &sql)
{
    d->sql = sql;
}

QString DataSet::commandText() const
{
    return d->sql;
}

void DataSet::open()
{
    if (d->state != State::Inactive)
        return;
    if (!d->connection)
        throw DbError("dataset has no connection");
    if (d->sql.trimmed().isEmpty())
        throw DbError("command text not set");
    d->connection->open();

    Sql::Statement stmt(d->connection->handle(), d->sql);
    const int columns = sqlite3_column_count(stmt.get());
    if (columns == 0)
        throw DbError("command does not return rows");
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt.get(), c));
    RowArena rows;
    rows.reset(columns);
    while (stmt.step() == SQLITE_ROW)
        rows.appendFromStatement(stmt.get());
    rows.squeeze();

    emit aboutToReset();
    d->names = std::move(names);
    d->rows = std::move(rows);
    d->table = tableOf(d->sql);
    d->idColumn = -1;
    for (int c = 0; c < columns; ++c) {
        if (d->names[c].compare(u"ID"_s, Qt::CaseInsensitive) == 0) {
            d->idColumn = c;
            break;
        }
    }
    d->state = State::Browse;
    const bool empty = d->rows.rowCount() == 0;
    d->current = empty ? -1 : 0;
    d->eof = d->bof = true;
    if (!empty)
        d->eof = false;
    emit wasReset();
    if (!empty)
        emit afterScroll();
}

void DataSet::close()
{
    if (d->state == State::Inactive)
        return;
    emit aboutToReset();
    d->state = State::Inactive;
    d->names.clear();
    d->rows.reset(0);
    d->rows.squeeze();
    d->buffer.clear();
    d->modified.clear();
    d->current = -1;
    d->eof = d->bof = true;
    emit wasReset();
}

bool DataSet::isOpen() const
{
    return d->state != State::Inactive;
}

DataSet::State DataSet::state() const
{
    return d->state;
}

bool DataSet::isEmpty() const
{
    return d->rows.rowCount() == 0;
}

int DataSet::recordCount() const
{
    return d->rows.rowCount();
}

int DataSet::recNo() const
{
    return d->current;
}

static void requireOpen(const DataSet *ds)
{
    if (!ds->isOpen())
        throw DbError("dataset is closed");
}

void DataSet::first()
{
    requireOpen(this);
    post();
    if (isEmpty())
        return;
    d->current = 0;
    d->bof = true;
    d->eof = false;
    emit afterScroll();
}

void DataSet::next()
{
    requireOpen(this);
    post();
    if (d->current + 1 >= recordCount()) {
        d->eof = true;
        return;
    }
    ++d->current;
    d->bof = d->eof = false;
    emit afterScroll();
}

void DataSet::prior()
{
    requireOpen(this);
    post();
    if (d->current <= 0) {
        d->bof = true;
        return;
    }
    --d->current;
    d->bof = d->eof = false;
    emit afterScroll();
}

void DataSet::last()
{
    requireOpen(this);
    post();
    if (isEmpty())
        return;
    d->current = recordCount() - 1;
    d->bof = false;
    d->eof = true;
    emit afterScroll();
}

void DataSet::moveTo(int index)
{
    requireOpen(this);
    if (index < 0 || index >= recordCount())
        throw DbError("row index out of range");
    post();
    d->current = index;
    d->bof = d->eof = false;
    emit afterScroll();
}

bool DataSet::eof() const
{
    return isEmpty() || d->eof;
}

bool DataSet::bof() const
{
    return isEmpty() || d->bof;
}

QStringList DataSet::fieldNames() const
{
    return d->names;
}

int DataSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < d->names.size(); ++i) {
        if (d->names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

static int requireField(const DataSet *ds, const QString &name)
{
    requireOpen(ds);
    const int i = ds->fieldIndex(name);
    if (i < 0)
        throw DbError("field not found: " + name.toStdString());
    return i;
}

QString DataSet::asString(const QString &field) const
{
    return asString(requireField(this, field));
}

QString DataSet::asString(int position) const
{
    requireOpen(this);
    if (position < 0 || position >= d->names.size())
        throw DbError("field position out of range");
    return d->current < 0 ? QString() : text(d->current, position);
}

qint64 DataSet::asInteger(const QString &field) const
{
    const int i = requireField(this, field);
    if (d->current < 0)
        return 0;
    if (d->editing()) {
        const QVariant &v = d->buffer[i];
        if (v.isNull())
            return 0;
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        if (!ok)
            throw DbError("value is not an integer");
        return n;
    }
    return integerOf(d->cell(d->current, i));
}

QDateTime DataSet::asDateTime(const QString &field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return QDateTime();
    QDateTime dt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Double:
        dt = DateSerial::toDateTime(v.toDouble());
        break;
    case QMetaType::QDate:
        dt = QDateTime(v.toDate(), QTime(0, 0), Qt::UTC);
        break;
    case QMetaType::QDateTime:
        dt = v.toDateTime();
        break;
    default:
        dt = DateSerial::fromStoredText(v.toString());
        break;
    }
    if (!dt.isValid())
        throw DbError("value is not a date");
    return dt;
}

bool DataSet::isNull(const QString &field) const
{
    return value(field).isNull();
}

QVariant DataSet::value(const QString &field) const
{
    const int i = requireField(this, field);
    return d->current < 0 ? QVariant() : value(d->current, i);
}

QString DataSet::text(int row, int position) const
{
    if (row < 0 || row >= recordCount() || position < 0 || position >= d->names.size())
        return QString();
    if (row == d->current && d->editing()) {
        const QVariant &v = d->buffer[position];
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().toString(u"yyyy-MM-dd"_s);
        if (v.typeId() == QMetaType::QDateTime)
            return DateSerial::toStoredText(v.toDateTime());
        return v.toString();
    }
    return d->cell(row, position).toString();
}

QVariant DataSet::value(int row, int position) const
{
    if (row < 0 || row >= recordCount() || position < 0 || position >= d->names.size())
        return QVariant();
    if (row == d->current && d->editing())
        return d->buffer[position];
    return d->cell(row, position).toVariant();
}

void DataSet::append()
{
    requireOpen(this);
    post();
    const int row = recordCount();
    const int columns = int(d->names.size());
    std::vector<QVariant> blank(columns);
    emit rowAboutToBeInserted(row);
    d->rows.appendRow(blank);
    d->previous = d->current;
    d->current = row;
    d->state = State::Insert;
    d->buffer = std::move(blank);
    d->modified.assign(columns, false);
    d->bof = d->eof = false;
    emit rowInserted(row);
    emit afterScroll();
}

void DataSet::edit()
{
    requireOpen(this);
    if (d->editing())
        return;
    if (d->current < 0)
        throw DbError("no current row");
    d->buffer = d->rows.rowValues(d->current);
    d->modified.assign(d->names.size(), false);
    d->state = State::Edit;
}

void DataSet::setField(const QString &field, const QVariant &value)
{
    const int i = requireField(this, field);
    if (!d->editing())
        throw DbError("dataset is not in edit or insert mode");
    d->buffer[i] = value;
    d->modified[i] = true;
    emit rowChanged(d->current);
}

void DataSet::post()
{
    if (!d->editing())
        return;
    if (d->table.isEmpty())
        throw DbError("no table to write to");
    if (!d->connection || !d->connection->handle())
        throw DbError("connection is closed");
    sqlite3 *db = d->connection->handle();
    const bool inserting = d->state == State::Insert;

    QStringList columns;
    std::vector<int> positions;
    for (int i = 0; i < int(d->names.size()); ++i) {
        if (d->modified[i] && !(inserting && i == d->idColumn && d->buffer[i].isNull())) {
            columns << quoteIdentifier(d->names[i]);
            positions.push_back(i);
        }
    }
    if (!inserting && positions.empty()) {
        d->state = State::Browse;
        return;
    }

    qint64 id = 0;
    if (!inserting) {
        if (d->idColumn < 0)
            throw DbError("no ID field to locate the row by");
        id = integerOf(d->cell(d->current, d->idColumn));
    }

    const QString table = quoteIdentifier(d->table);
    std::vector<QVariant> stored = d->buffer;
    Sql::exec(db, "SAVEPOINT dataset_post");
    try {
        if (inserting) {
            QString sql = u"INSERT INTO "_s + table;
            if (columns.isEmpty()) {
                sql += u" DEFAULT VALUES"_s;
            } else {
                QStringList marks;
                for (qsizetype i = 0; i < columns.size(); ++i)
                    marks << u"?"_s;
                sql += u" ("_s + columns.join(u',') + u") VALUES ("_s + marks.join(u',') + u')';
            }
            Sql::Statement stmt(db, sql);
            for (int i = 0; i < int(positions.size()); ++i)
                bindValue(stmt, i + 1, d->buffer[positions[i]]);
            stmt.run();
            id = sqlite3_last_insert_rowid(db);
        } else {
            QString sql = u"UPDATE "_s + table + u" SET "_s;
            for (qsizetype i = 0; i < columns.size(); ++i)
                sql += (i ? u","_s : QString()) + columns[i] + u"=?"_s;
            sql += u" WHERE ID=?"_s;
            Sql::Statement stmt(db, sql);
            for (int i = 0; i < int(positions.size()); ++i)
                bindValue(stmt, i + 1, d->buffer[positions[i]]);
            stmt.bindInt(int(positions.size()) + 1, id);
            stmt.run();
            if (sqlite3_changes(db) != 1)
                throw DbError("row cannot be located for updating");
        }

        // Read the row back, so the snapshot holds what the file holds.
        Sql::Statement reread(db, u"SELECT * FROM "_s + table + u" WHERE ID=?"_s);
        reread.bindInt(1, id);
        if (reread.step() != SQLITE_ROW)
            throw DbError("written row not found");
        const int n = sqlite3_column_count(reread.get());
        RowArena one;
        one.reset(n);
        one.appendFromStatement(reread.get());
        for (int c = 0; c < n; ++c) {
            const int i = fieldIndex(QString::fromUtf8(sqlite3_column_name(reread.get(), c)));
            if (i >= 0)
                stored[i] = one.cell(0, c).toVariant();
        }
        Sql::exec(db, "RELEASE dataset_post");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO dataset_post; RELEASE dataset_post", nullptr, nullptr,
                     nullptr);
        throw;
    }

    d->rows.replaceRow(d->current, stored);
    d->state = State::Browse;
    d->buffer.clear();
    d->modified.clear();
    emit rowChanged(d->current);
}

void DataSet::cancel()
{
    if (d->state == State::Edit) {
        d->state = State::Browse;
        d->buffer.clear();
        d->modified.clear();
        emit rowChanged(d->current);
    } else if (d->state == State::Insert) {
        const int row = d->current;
        emit rowAboutToBeRemoved(row);
        d->rows.removeRow(row);
        d->state = State::Browse;
        d->buffer.clear();
        d->modified.clear();
        const int count = recordCount();
        d->current = count == 0 ? -1 : qBound(0, d->previous, count - 1);
        d->eof = d->bof = count == 0;
        emit rowRemoved(row);
    }
}

void DataSet::deleteRow()
{
    requireOpen(this);
    if (d->state == State::Insert) {
        // The appended row never reached the file.
        cancel();
        emit afterScroll();
        return;
    }
    if (d->current < 0)
        throw DbError("no current row");
    if (d->table.isEmpty() || d->idColumn < 0)
        throw DbError("no table and ID field to delete from");
    sqlite3 *db = d->connection ? d->connection->handle() : nullptr;
    if (!db)
        throw DbError("connection is closed");
    const qint64 id = integerOf(d->cell(d->current, d->idColumn));
    Sql::Statement stmt(db, u"DELETE FROM "_s + quoteIdentifier(d->table) + u" WHERE ID=?"_s);
    stmt.bindInt(1, id);
    stmt.run();
    if (sqlite3_changes(db) != 1)
        throw DbError("row cannot be located for deleting");

    if (d->state == State::Edit) {
        d->state = State::Browse;
        d->buffer.clear();
        d->modified.clear();
    }
    const int row = d->current;
    emit rowAboutToBeRemoved(row);
    d->rows.removeRow(row);
    const int count = recordCount();
    d->current = count == 0 ? -1 : qMin(row, count - 1);
    d->bof = d->eof = count == 0;
    emit rowRemoved(row);
    emit afterScroll();
}

bool DataSet::locate(qint64 id)
{
    requireOpen(this);
    if (d->idColumn < 0)
        return false;
    post();
    const int count = recordCount();
    for (int r = 0; r < count; ++r) {
        const RowArena::Cell c = d->cell(r, d->idColumn);
        if (c.type == RowArena::Type::Integer
                ? c.integer == id
                : c.type != RowArena::Type::Null && c.toString().toLongLong() == id) {
            d->current = r;
            d->bof = d->eof = false;
            emit afterScroll();
            return true;
        }
    }
    return false;
}

qsizetype DataSet::memoryUsed() const
{
    return d->rows.memoryUsed();
}
