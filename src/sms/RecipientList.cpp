#include "sms/RecipientList.h"

#include "common/uPub.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QStringList RecipientList::takeFront(qsizetype n)
{
    n = std::clamp<qsizetype>(n, 0, count());
    QStringList out;
    out.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        out.append(std::move(m_items[m_head + size_t(i)]));
    m_head += size_t(n);
    compactIfWorthIt();
    return out;
}

void RecipientList::putFront(const QStringList &entries)
{
    const size_t n = size_t(entries.size());
    if (n > m_head) {
        // Make room in front; rare (a failed batch larger than the consumed front).
        const size_t grow = n - m_head;
        m_items.insert(m_items.begin(), grow, QString());
        m_head += grow;
    }
    m_head -= n;
    for (size_t i = 0; i < n; ++i)
        m_items[m_head + i] = entries[qsizetype(i)];
}

void RecipientList::clear()
{
    m_items.clear();
    m_head = 0;
}

void RecipientList::assign(std::vector<QString> entries)
{
    m_items = std::move(entries);
    m_head = 0;
}

void RecipientList::append(const QString &entry)
{
    m_items.push_back(entry);
}

void RecipientList::removeRanges(const std::vector<std::pair<qsizetype, qsizetype>> &ranges)
{
    std::vector<char> drop(size_t(count()), 0);
    for (const auto &[first, last] : ranges)
        for (qsizetype i = std::max<qsizetype>(first, 0); i <= last && i < count(); ++i)
            drop[size_t(i)] = 1;
    size_t out = 0;
    for (size_t i = 0; i < drop.size(); ++i)
        if (!drop[i])
            m_items[out++] = std::move(m_items[m_head + i]);
    m_items.resize(out);
    m_head = 0;
}

std::vector<QString> RecipientList::toVector() const
{
    return {m_items.begin() + qsizetype(m_head), m_items.end()};
}

std::vector<QString> RecipientList::release()
{
    if (m_head > 0)
        m_items.erase(m_items.begin(), m_items.begin() + qsizetype(m_head));
    m_head = 0;
    return std::exchange(m_items, {});
}

void RecipientList::compactIfWorthIt()
{
    // Reclaim the consumed front once it outweighs the live part; each entry is moved at most
    // once per halving, so the cost per taken entry stays constant.
    if (m_head >= 4096 && m_head * 2 >= m_items.size()) {
        m_items.erase(m_items.begin(), m_items.begin() + qsizetype(m_head));
        m_head = 0;
    }
}

QString trimBlanks(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    if (b == 0 && e == text.size())
        return text;
    return text.mid(b, e - b);
}

QStringList checkMobileList(std::vector<QString> &entries,
                            const std::function<void(qsizetype)> &progress)
{
    QStringList rejected;
    // Valid entries are compacted towards the end, keeping their order, then moved down.
    size_t keep = entries.size();
    for (size_t i = entries.size(); i-- > 0;) {
        QString &e = entries[i];
        if (IsMobileCode(e)) {
            QString t = trimBlanks(e);
            entries[--keep] = std::move(t);
        } else {
            rejected.append(std::move(e));
        }
        if (progress && (i & 0xFFFF) == 0)
            progress(qsizetype(entries.size() - i));
    }
    if (keep > 0)
        entries.erase(entries.begin(), entries.begin() + qsizetype(keep));
    return rejected;
}

QString rejectedHeader()
{
    return u"以下号码不正确，已经自动过滤！"_s;
}

int sendSpeedFor(qsizetype entries)
{
    if (entries < 100)
        return 1;
    if (entries < 200)
        return 2;
    if (entries < 1000)
        return 10;
    if (entries < 10000)
        return 30;
    if (entries < 100000)
        return 50;
    return 80;
}
