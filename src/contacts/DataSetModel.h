#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>

class DataSet;
class QTableView;

// A read-only table model over a DataSet. It reads cells straight from the snapshot (nothing
// is copied per row) and follows the dataset's reset and row signals.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Kind
    {
        Text,
        Date
    };
    struct Column
    {
        QString field;
        QString title;
        int width = 64;
        bool visible = true;
        Kind kind = Kind::Text;
    };

    DataSetModel(DataSet *dataSet, QList<Column> columns, QObject *parent = nullptr);

    DataSet *dataSet() const { return m_ds; }
    const QList<Column> &columns() const { return m_columns; }
    const Column &column(int index) const { return m_columns.at(index); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text a cell shows: dates in the system's short date form.
    QString displayText(int row, int column) const;

    // Sets up a view for this model: whole-row single selection, read-only, fixed row
    // heights, the columns' widths and visibility, and the view's current row kept in step
    // with the dataset's current row in both directions.
    void attachView(QTableView *view);

private:
    void resolveFields();
    void syncViewToDataSet();

    DataSet *m_ds;
    QList<Column> m_columns;
    QList<int> m_positions; // field position in the snapshot per column, -1 when absent
    QPointer<QTableView> m_view;
    bool m_syncing = false;
};

// A stored date-time value in the system's short date form; empty text stays empty.
QString shortDateText(const QVariant &value);
