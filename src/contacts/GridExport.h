#pragma once

#include <QDateTime>
#include <QString>

class QTableView;

// Spreadsheet export of what a grid over a DataSetModel shows.
namespace GridExport {

// Writes an .xlsx at path: the title in A1, the visible column titles in grid order in row 2,
// one row per record from row 3, every cell as the text the grid shows. Rows are streamed
// (constant memory). On failure the partly written file is removed and false is returned
// with a developer-facing reason in *error.
bool writeWorkbook(const QString &title, const QTableView *grid, const QString &path,
                   QString *error = nullptr);

// A fresh file name for an export in the system's temporary folder: the title, the date and
// time, and ".xlsx"; a counter is added when such a file already exists.
QString fileNameFor(const QString &title, const QDateTime &when = QDateTime::currentDateTime());

} // namespace GridExport

// Exports what the grid shows to a new workbook and opens it with the desktop's program for
// spreadsheets. Tells the user when the grid's dataset is not open or the file cannot be
// written.
void SendGridToExcel(const QString &title, QTableView *grid);
