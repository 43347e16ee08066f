#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The recipient list as the send loop consumes it: taken from the top batch by batch, failed
// batches put back on top. Storage is a vector with a moving head, so taking a batch costs
// time in proportion to the batch, not to the list; the consumed front is reclaimed now and
// then, in amortised constant time per entry.
class RecipientQueue
{
public:
    virtual ~RecipientQueue() = default;
    virtual qsizetype count() const = 0;
    // Removes and returns up to n entries from the top, in list order.
    virtual QStringList takeFront(qsizetype n) = 0;
    // Inserts entries at the top so that they stand there in the given order.
    virtual void putFront(const QStringList &entries) = 0;
};

class RecipientList : public RecipientQueue
{
public:
    RecipientList() = default;
    explicit RecipientList(std::vector<QString> entries) : m_items(std::move(entries)) {}

    qsizetype count() const override { return qsizetype(m_items.size() - m_head); }
    bool isEmpty() const { return count() == 0; }
    const QString &at(qsizetype i) const { return m_items[m_head + size_t(i)]; }

    QStringList takeFront(qsizetype n) override;
    void putFront(const QStringList &entries) override;

    void clear();
    void assign(std::vector<QString> entries);
    void append(const QString &entry);
    // Removes the entries in the given index ranges [first, last] (any order, may overlap).
    void removeRanges(const std::vector<std::pair<qsizetype, qsizetype>> &ranges);
    // The live entries, for saving; moves nothing.
    std::vector<QString> toVector() const;
    // Takes the entries out, leaving the list empty (for work on another thread).
    std::vector<QString> release();

private:
    void compactIfWorthIt();

    std::vector<QString> m_items;
    size_t m_head = 0;
};

// Blanks and control characters (everything up to U+0020) at both ends removed; shares the
// text when there is nothing to remove.
QString trimBlanks(const QString &text);

// The list check: walks from the last entry to the first, keeps each valid mobile number
// without surrounding blanks and removes every other entry. Returns the removed entries as they
// stood, in the order met (the reverse of list order). `progress` (may be null) is called now
// and then with the number of entries examined.
QStringList checkMobileList(std::vector<QString> &entries,
                            const std::function<void(qsizetype)> &progress = {});

// Header line of the rejected-numbers file.
QString rejectedHeader();

// Numbers per send request for a list of this many entries.
int sendSpeedFor(qsizetype entries);
