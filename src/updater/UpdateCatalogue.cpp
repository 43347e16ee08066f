#include "updater/UpdateCatalogue.h"

#include "common/GbkCodec.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace UpdateCatalogue {

QList<QByteArray> splitLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

int compareVersions(const QByteArray &a, const QByteArray &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a.at(i));
        const auto y = static_cast<unsigned char>(b.at(i));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QByteArray stampOf(const QByteArray &line)
{
    return line.left(10);
}

QByteArray entryTextOf(const QByteArray &line)
{
    return line.size() > 10 ? line.mid(10) : QByteArray();
}

int FindListItem(const QList<QByteArray> &list, const QByteArray &text)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i) == text)
            return int(i);
    }
    return -1;
}

Choice chooseEntries(const QList<QByteArray> &lines, const QByteArray &oldVer)
{
    Choice c;
    c.newVer = oldVer;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const QByteArray stamp = stampOf(lines.at(i));
        const QByteArray entry = entryTextOf(lines.at(i));
        if (versionLess(oldVer, stamp) && FindListItem(c.entries, entry) < 0)
            c.entries.append(entry);
        if (versionLess(c.newVer, stamp))
            c.newVer = stamp;
    }
    return c;
}

Entry splitEntry(const QByteArray &entryText)
{
    Entry e;
    const QString text = Gbk::decode(entryText);
    const qsizetype close = text.indexOf(u']');
    if (close < 0)
        return e;
    e.hasBracket = true;
    e.kind = text.mid(1, close - 1);
    const qsizetype tab = text.indexOf(u'\t', close + 1);
    if (tab >= 0) {
        e.localName = text.mid(close + 1, tab - close - 1);
        e.serverName = text.mid(tab + 1);
    }
    e.localName.replace(u'\\', u'/');
    e.serverName.replace(u'\\', u'/');
    return e;
}

bool isSafeName(const QString &name)
{
    QString n = name;
    n.replace(u'\\', u'/');
    if (n.startsWith(u'/'))
        return false;
    if (n.size() >= 2 && n.at(1) == u':' && n.at(0).isLetter() && n.at(0).unicode() < 0x80)
        return false;
    const QStringList parts = n.split(u'/');
    return std::none_of(parts.cbegin(), parts.cend(),
                        [](const QString &p) { return p == u".."_s; });
}

QStringList unsafeNames(const QList<QByteArray> &entries)
{
    QStringList bad;
    for (const QByteArray &text : entries) {
        const Entry e = splitEntry(text);
        const QString kind = e.kind.toUpper();
        if (kind != u"CLIENT"_s && kind != u"SQL"_s)
            continue;
        for (const QString &name : {e.localName, e.serverName}) {
            if (!isSafeName(name) && !bad.contains(name))
                bad << name;
        }
    }
    return bad;
}

} // namespace UpdateCatalogue
