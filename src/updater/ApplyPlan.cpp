#include "updater/ApplyPlan.h"

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

Steps steps(const QList<QByteArray> &entries)
{
    Steps s;
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const QByteArray &text = entries.at(i);
        if (text.startsWith("[SQL]"))
            s.scripts.append(UpdateCatalogue::splitEntry(text).localName);
    }
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        const QByteArray &text = entries.at(i);
        if (text.startsWith("[CLIENT]"))
            s.clientFiles.append(UpdateCatalogue::splitEntry(text).localName);
    }
    return s;
}

} // namespace ApplyPlan
