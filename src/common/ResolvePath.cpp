#include "common/ResolvePath.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString resolveCaseInsensitive(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QStringList parts = path.split(u'/');
    QString result;
    QString dir; // the folder the next component is looked up in
    bool searching = true;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString part = parts[i];
        if (i > 0)
            result += u'/';
        if (searching && !part.isEmpty() && part != u"."_s && part != u".."_s) {
            const QString lookIn = dir.isEmpty() && i == 0 ? u"."_s : dir;
            if (!QFileInfo::exists(lookIn + u'/' + part)) {
                const QStringList entries = QDir(lookIn).entryList(
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDir::Name);
                QString found;
                for (const QString &e : entries) {
                    if (e.compare(part, Qt::CaseInsensitive) == 0) {
                        found = e;
                        break;
                    }
                }
                if (found.isEmpty())
                    searching = false; // nothing below a missing folder can exist
                else
                    part = found;
            }
        }
        result += part;
        dir = i == 0 && part.isEmpty() ? u"/"_s : result;
    }
    return result;
}
