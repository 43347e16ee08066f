#include "contacts/GridFind.h"

#include "contacts/DataSetModel.h"
#include "data/DataSet.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString storedText(const DataSetModel &model, int row, int column)
{
    const int position = model.dataSet()->fieldIndex(model.column(column).field);
    return position < 0 ? QString() : model.dataSet()->text(row, position);
}

bool cellMatches(const QString &cell, const FindOptions &o)
{
    const Qt::CaseSensitivity cs = o.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    switch (o.match) {
    case FindOptions::Match::Partial:
        return cell.contains(o.text, cs);
    case FindOptions::Match::Whole:
        return cell.compare(o.text, cs) == 0;
    case FindOptions::Match::Start:
        return cell.startsWith(o.text, cs);
    }
    return false;
}

bool rowMatches(const DataSetModel &model, int row, const FindOptions &o)
{
    for (int c = 0; c < model.columnCount(); ++c) {
        if (o.column >= 0 ? c != o.column : !model.column(c).visible)
            continue;
        const QString cell = o.formatted ? model.displayText(row, c) : storedText(model, row, c);
        if (cellMatches(cell, o))
            return true;
    }
    return false;
}

} // namespace

int findRow(const DataSetModel &model, int from, const FindOptions &options)
{
    const int rows = model.rowCount();
    if (rows == 0 || options.text.isEmpty())
        return -1;
    switch (options.direction) {
    case FindOptions::Direction::Down:
        for (int r = qMax(from + 1, 0); r < rows; ++r)
            if (rowMatches(model, r, options))
                return r;
        return -1;
    case FindOptions::Direction::Up:
        for (int r = qMin(from, rows) - 1; r >= 0; --r)
            if (rowMatches(model, r, options))
                return r;
        return -1;
    case FindOptions::Direction::All:
        break;
    }
    const int start = (from < 0 || from >= rows) ? rows - 1 : from;
    for (int step = 1; step <= rows; ++step) {
        const int r = (start + step) % rows;
        if (rowMatches(model, r, options))
            return r;
    }
    return -1;
}

GridFindDialog::GridFindDialog(QTableView *grid, DataSetModel *model, QWidget *parent)
    : QDialog(parent), m_grid(grid), m_model(model)
{
    setObjectName(u"GridFindDialog"_s);
    setWindowTitle(u"查找"_s);

    editText = new QLineEdit(this);
    editText->setObjectName(u"editText"_s);
    cmbColumn = new QComboBox(this);
    cmbColumn->setObjectName(u"cmbColumn"_s);
    cmbMatch = new QComboBox(this);
    cmbMatch->setObjectName(u"cmbMatch"_s);
    cmbMatch->addItems({u"部分匹配"_s, u"全字匹配"_s, u"首字匹配"_s});
    cmbDirection = new QComboBox(this);
    cmbDirection->setObjectName(u"cmbDirection"_s);
    cmbDirection->addItems({u"Up"_s, u"Down"_s, u"All"_s});
    cmbDirection->setCurrentIndex(2);
    chkCase = new QCheckBox(u"区分大小写"_s, this);
    chkCase->setObjectName(u"chkCase"_s);
    chkFormatted = new QCheckBox(u"格式化"_s, this);
    chkFormatted->setObjectName(u"chkFormatted"_s);
    cmdFind = new QPushButton(u"查找"_s, this);
    cmdFind->setObjectName(u"cmdFind"_s);
    cmdFind->setDefault(true);
    cmdCancel = new QPushButton(u"取消"_s, this);
    cmdCancel->setObjectName(u"cmdCancel"_s);

    auto *form = new QFormLayout;
    const std::pair<const char16_t *, QWidget *> rows[] = {
        {u"查找内容", editText},
        {u"查找指标", cmbColumn},
        {u"匹配方式", cmbMatch},
        {u"搜索方向", cmbDirection},
    };
    for (const auto &[label, w] : rows) {
        auto *l = new QLabel(QStringView(label).toString(), this);
        l->setBuddy(w);
        w->setAccessibleName(QStringView(label).toString());
        form->addRow(l, w);
    }
    auto *checks = new QHBoxLayout;
    checks->addWidget(chkCase);
    checks->addWidget(chkFormatted);
    checks->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdFind);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(checks);
    layout->addLayout(buttons);

    connect(cmdFind, &QPushButton::clicked, this, [this] { findNext(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    refreshColumns();
}

void GridFindDialog::refreshColumns()
{
    const QVariant keep = cmbColumn->currentData();
    cmbColumn->clear();
    cmbColumn->addItem(u"所有列"_s, -1);
    const QHeaderView *header = m_grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!m_grid->isColumnHidden(logical))
            cmbColumn->addItem(m_model->column(logical).title, logical);
    }
    const int at = cmbColumn->findData(keep);
    cmbColumn->setCurrentIndex(at < 0 ? 0 : at);
}

FindOptions GridFindDialog::options() const
{
    FindOptions o;
    o.text = editText->text();
    o.column = cmbColumn->currentData().toInt();
    o.match = FindOptions::Match(cmbMatch->currentIndex());
    o.direction = FindOptions::Direction(cmbDirection->currentIndex());
    o.caseSensitive = chkCase->isChecked();
    o.formatted = chkFormatted->isChecked();
    return o;
}

bool GridFindDialog::findNext()
{
    const FindOptions o = options();
    if (o.text.isEmpty())
        return false;
    DataSet *ds = m_model->dataSet();
    const int row = ds->isOpen() ? findRow(*m_model, ds->recNo(), o) : -1;
    if (row < 0) {
        Dialogs::instance().message(u"没有找到符合条件的记录！"_s);
        return false;
    }
    ds->moveTo(row);
    return true;
}
