#include "updater/ApplyPlan.h"

#include "common/GbkCodec.h"
#include "updater/UpdateCatalogue.h"

using namespace Qt::StringLiterals;

namespace ApplyPlan {

QList<Download> downloads(const QList<QByteArray> &entries)
{
    QList<Download> list;
    for (const QByteArray &text : entries) {
        const UpdateCatalogue::Entry e = UpdateCatalogue::splitEntry(text);
        if (!e.hasBracket)
            continue;
        const QString kind = e.kind.toUpper();
        if (kind != u"CLIENT"_s && kind != u"SQL"_s)
            continue;
        list.append({e.serverName, u"/QuilloBook/"_s + kind + u'/' + e.serverName,
                     kind + u'/' + e.localName});
    }
    return list;
}

namespace {
QString localNameAfter(const QByteArray &text, qsizetype prefixLength)
{
    const qsizetype tab = text.indexOf('\t', prefixLength);
    if (tab < 0)
        return QString();
    QString name = Gbk::decode(text.mid(prefixLength, tab - prefixLength));
    name.replace(u'\\', u'/');
    return name;
}
} // namespace

Steps steps(const QList<QByteArray> &entries)
{
    Steps s;
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const QByteArray &text = entries.at(i);
        if (text.startsWith("[SQL]"))
            s.scripts.append(localNameAfter(text, 5));
    }
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const QByteArray &text = entries.at(i);
        if (text.startsWith("[CLIENT]"))
            s.clientFiles.append(localNameAfter(text, 8));
    }
    return s;
}

} // namespace ApplyPlan
