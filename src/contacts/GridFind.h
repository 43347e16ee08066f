#pragma once

#include <QDialog>
#include <QString>

class DataSetModel;
class QTableView;
class QComboBox;
class QLineEdit;
class QCheckBox;
class QPushButton;

// Searching the rows of a grid, as the find dialog offers it.
struct FindOptions
{
    enum class Match
    {
        Partial,
        Whole,
        Start
    };
    enum class Direction
    {
        Up,
        Down,
        All
    };

    QString text;
    int column = -1; // model column, -1 for every visible column
    Match match = Match::Partial;
    Direction direction = Direction::All;
    bool caseSensitive = false;
    bool formatted = false; // compare the displayed text rather than the stored one
};

// The next row after (Down, All) or before (Up) `from` whose cell matches; All wraps around
// and ends at `from` itself. -1 when no row matches.
int findRow(const DataSetModel &model, int from, const FindOptions &options);

// The find dialog over one grid: "查找" makes the next matching row current.
class GridFindDialog : public QDialog
{
    Q_OBJECT
public:
    GridFindDialog(QTableView *grid, DataSetModel *model, QWidget *parent = nullptr);

    FindOptions options() const;
    // Finds from the grid's current row; false (and a message) when nothing matches.
    bool findNext();
    // Refreshes the column list from the grid (visible columns in grid order).
    void refreshColumns();

private:
    QTableView *m_grid;
    DataSetModel *m_model;
    QLineEdit *editText;
    QComboBox *cmbColumn;
    QComboBox *cmbMatch;
    QComboBox *cmbDirection;
    QCheckBox *chkCase;
    QCheckBox *chkFormatted;
    QPushButton *cmdFind;
    QPushButton *cmdCancel;
};
