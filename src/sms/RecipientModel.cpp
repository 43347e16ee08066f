#include "sms/RecipientModel.h"

RecipientModel::RecipientModel(QObject *parent) : QAbstractListModel(parent) {}

int RecipientModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.count());
}

QVariant RecipientModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_list.at(index.row());
    return {};
}

QStringList RecipientModel::takeFront(qsizetype n)
{
    n = std::min(n, m_list.count());
    if (n <= 0)
        return {};
    beginRemoveRows({}, 0, int(n - 1));
    QStringList out = m_list.takeFront(n);
    endRemoveRows();
    return out;
}

void RecipientModel::putFront(const QStringList &entries)
{
    if (entries.isEmpty())
        return;
    beginInsertRows({}, 0, int(entries.size() - 1));
    m_list.putFront(entries);
    endInsertRows();
}

void RecipientModel::clear()
{
    beginResetModel();
    m_list.clear();
    endResetModel();
}

void RecipientModel::assign(std::vector<QString> entries)
{
    beginResetModel();
    m_list.assign(std::move(entries));
    endResetModel();
}

void RecipientModel::removeSelection(const QItemSelection &selection)
{
    if (selection.isEmpty())
        return;
    std::vector<std::pair<qsizetype, qsizetype>> ranges;
    for (const QItemSelectionRange &r : selection)
        ranges.emplace_back(r.top(), r.bottom());
    beginResetModel();
    m_list.removeRanges(ranges);
    endResetModel();
}

std::vector<QString> RecipientModel::release()
{
    beginResetModel();
    std::vector<QString> out = m_list.release();
    endResetModel();
    return out;
}
