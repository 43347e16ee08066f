#pragma once

#include "sms/RecipientList.h"

#include <QAbstractListModel>
#include <QItemSelection>

// The recipient list as the list view shows it. Every change goes through here so that the
// view learns of it; no widget work is done per entry.
class RecipientModel : public QAbstractListModel, public RecipientQueue
{
    Q_OBJECT
public:
    explicit RecipientModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    qsizetype count() const override { return m_list.count(); }
    QStringList takeFront(qsizetype n) override;
    void putFront(const QStringList &entries) override;

    const QString &at(qsizetype i) const { return m_list.at(i); }
    void clear();
    void assign(std::vector<QString> entries);
    void removeSelection(const QItemSelection &selection);
    std::vector<QString> entries() const { return m_list.toVector(); }
    // Takes the entries out for work elsewhere; give them back with assign().
    std::vector<QString> release();

private:
    RecipientList m_list;
};
