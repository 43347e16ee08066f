#include "contacts/GridExport.h"

#include "common/uPub.h"
#include "contacts/DataSetModel.h"
#include "contacts/XlsxCheck.h"
#include "data/DataSet.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace GridExport {

namespace {

// Closes the workbook on every path out of writeWorkbook.
struct Workbook
{
    lxw_workbook *wb = nullptr;
    lxw_error close()
    {
        lxw_workbook *w = std::exchange(wb, nullptr);
        return w ? workbook_close(w) : LXW_NO_ERROR;
    }
    ~Workbook() { close(); }
};

QString reason(lxw_error e)
{
    return QString::fromUtf8(lxw_strerror(e));
}

} // namespace

bool writeWorkbook(const QString &title, const QTableView *grid, const QString &path,
                   QString *error)
{
    auto fail = [&](const QString &why) {
        QFile::remove(path);
        if (error)
            *error = why;
        return false;
    };
    const auto *model = qobject_cast<const DataSetModel *>(grid->model());
    if (!model)
        return fail(u"the grid does not show a dataset"_s);
    const DataSet *ds = model->dataSet();

    // Visible columns in the order the grid shows them.
    QList<int> columns;
    const QHeaderView *header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!grid->isColumnHidden(logical))
            columns << logical;
    }

    const QByteArray fileName = QFile::encodeName(path);
    QByteArray tmpDir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpDir.data();
    Workbook book;
    book.wb = workbook_new_opt(fileName.constData(), &options);
    if (!book.wb)
        return fail(u"cannot create the workbook"_s);
    lxw_worksheet *sheet = workbook_add_worksheet(book.wb, nullptr);
    if (!sheet)
        return fail(u"cannot add a worksheet"_s);

    QByteArray titleText = title.toUtf8();
    lxw_doc_properties properties{};
    properties.title = titleText.data();
    workbook_set_properties(book.wb, &properties);

    auto put = [sheet](lxw_row_t row, lxw_col_t col, const QString &text) {
        if (text.isEmpty())
            return LXW_NO_ERROR;
        const QByteArray utf8 = text.toUtf8();
        return worksheet_write_string(sheet, row, col, utf8.constData(), nullptr);
    };
    lxw_error e = put(0, 0, title);
    for (int c = 0; e == LXW_NO_ERROR && c < columns.size(); ++c)
        e = put(1, lxw_col_t(c), model->column(columns[c]).title);
    const int rows = ds->isOpen() ? ds->recordCount() : 0;
    for (int r = 0; e == LXW_NO_ERROR && r < rows; ++r) {
        for (int c = 0; e == LXW_NO_ERROR && c < columns.size(); ++c)
            e = put(lxw_row_t(r + 2), lxw_col_t(c), model->displayText(r, columns[c]));
    }
    if (e != LXW_NO_ERROR)
        return fail(reason(e));
    e = book.close();
    if (e != LXW_NO_ERROR)
        return fail(reason(e));
    if (!xlsxSheetIsComplete(path))
        return fail(u"the sheet was cut off while it was written"_s);
    return true;
}

QString fileNameFor(const QString &title, const QDateTime &when)
{
    const QString base = QDir::tempPath() + u'/' + title + when.toString(u"yyyyMMdd_hhmmss"_s);
    QString name = base + u".xlsx"_s;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'_' + QString::number(n) + u".xlsx"_s;
    return name;
}

} // namespace GridExport

void SendGridToExcel(const QString &title, QTableView *grid)
{
    const auto *model = qobject_cast<const DataSetModel *>(grid->model());
    DataSet *ds = model ? model->dataSet() : nullptr;
    if (!ds || !ds->isOpen()) {
        Dialogs::instance().message(u"查询过程没有执行，没有数据库可以发送！"_s);
        return;
    }
    const QString path = GridExport::fileNameFor(title);
    if (!GridExport::writeWorkbook(title, grid, path)) {
        Dialogs::instance().message(u"导出Excel文件发生错误，文件没有生成！"_s);
        return;
    }
    // As the export walked the records, the last one is current afterwards.
    if (!ds->isEmpty())
        ds->last();
    ShellRun(path);
}
