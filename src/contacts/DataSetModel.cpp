#include "contacts/DataSetModel.h"

#include "data/DataSet.h"
#include "data/DbError.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTableView>

#include <cmath>

using namespace Qt::StringLiterals;

QString shortDateText(const QVariant &value)
{
    QDate date;
    switch (value.typeId()) {
    case QMetaType::QDate:
        date = value.toDate();
        break;
    case QMetaType::QDateTime:
        date = value.toDateTime().date();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        // A date serial: whole days since 1899-12-30.
        date = QDate(1899, 12, 30).addDays(qint64(std::floor(value.toDouble())));
        break;
    default: {
        const QString text = value.toString();
        if (text.isEmpty())
            return QString();
        date = QDate::fromString(text.left(10), u"yyyy-MM-dd"_s);
        if (!date.isValid())
            return text;
    }
    }
    if (!date.isValid())
        return QString();
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

DataSetModel::DataSetModel(DataSet *dataSet, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_ds(dataSet), m_columns(std::move(columns))
{
    resolveFields();
    // While rows come and go the view moves its current index by itself; that must not move
    // the dataset (which would post a pending row in the middle of the change).
    connect(m_ds, &DataSet::aboutToReset, this, [this] {
        m_syncing = true;
        beginResetModel();
    });
    connect(m_ds, &DataSet::wasReset, this, [this] {
        resolveFields();
        endResetModel();
        m_syncing = false;
        syncViewToDataSet();
    });
    connect(m_ds, &DataSet::rowAboutToBeInserted, this, [this](int row) {
        m_syncing = true;
        beginInsertRows({}, row, row);
    });
    connect(m_ds, &DataSet::rowInserted, this, [this](int) {
        endInsertRows();
        m_syncing = false;
        syncViewToDataSet();
    });
    connect(m_ds, &DataSet::rowAboutToBeRemoved, this, [this](int row) {
        m_syncing = true;
        beginRemoveRows({}, row, row);
    });
    connect(m_ds, &DataSet::rowRemoved, this, [this](int) {
        endRemoveRows();
        m_syncing = false;
        syncViewToDataSet();
    });
    connect(m_ds, &DataSet::rowChanged, this, [this](int row) {
        if (!m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    });
    connect(m_ds, &DataSet::afterScroll, this, [this] { syncViewToDataSet(); });
}

void DataSetModel::resolveFields()
{
    m_positions.clear();
    for (const Column &c : std::as_const(m_columns))
        m_positions << (m_ds->isOpen() ? m_ds->fieldIndex(c.field) : -1);
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_ds->isOpen())
        return 0;
    return m_ds->recordCount();
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString DataSetModel::displayText(int row, int column) const
{
    const int position = m_positions.value(column, -1);
    if (position < 0)
        return QString();
    if (m_columns.at(column).kind == Kind::Date)
        return shortDateText(m_ds->value(row, position));
    return m_ds->text(row, position);
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return displayText(index.row(), index.column());
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}

void DataSetModel::attachView(QTableView *view)
{
    m_view = view;
    view->setModel(this);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->setAlternatingRowColors(true);
    QHeaderView *rows = view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(view->fontMetrics().height() + 6);
    rows->setMinimumSectionSize(view->fontMetrics().height() + 6);
    rows->hide();
    QHeaderView *cols = view->horizontalHeader();
    cols->setSectionResizeMode(QHeaderView::Interactive);
    cols->setDefaultAlignment(Qt::AlignCenter);
    cols->setHighlightSections(false);
    for (int c = 0; c < m_columns.size(); ++c) {
        view->setColumnWidth(c, m_columns.at(c).width);
        view->setColumnHidden(c, !m_columns.at(c).visible);
    }
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !current.isValid() || !m_ds->isOpen())
                    return;
                if (current.row() == m_ds->recNo())
                    return;
                try {
                    m_ds->moveTo(current.row());
                } catch (const DbError &) {
                    // A pending row that cannot be posted keeps the dataset where it is.
                    syncViewToDataSet();
                }
            });
    syncViewToDataSet();
}

void DataSetModel::syncViewToDataSet()
{
    if (!m_view || !m_view->selectionModel())
        return;
    const int row = m_ds->isOpen() ? m_ds->recNo() : -1;
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    int column = 0;
    while (column < m_columns.size() && !m_columns.at(column).visible)
        ++column;
    const QModelIndex target = index(row, qMin(column, int(m_columns.size()) - 1));
    m_syncing = true;
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    m_view->scrollTo(target);
    m_syncing = false;
}
