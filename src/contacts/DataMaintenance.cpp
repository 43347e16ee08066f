#include "contacts/DataMaintenance.h"

#include "common/ResolvePath.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"

#include <QFileInfo>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace DataMaintenance {

QString databaseFile(const QString &appPath)
{
    return resolveCaseInsensitive(appPath + u"DB/ZARI.dat"_s);
}

QString backupFolder(const QString &appPath)
{
    return resolveCaseInsensitive(appPath + u"Bak"_s);
}

QString proposedBackup(const QString &appPath, const QDate &day)
{
    return backupFolder(appPath) + u'/' + day.toString(u"yyyyMMdd"_s) + u".WBK"_s;
}

bool isContactDatabase(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    try {
        Connection probe;
        probe.setConnectionString(TDM::connectionStringFor(QString(), path));
        probe.open();
        QStringList missing = {u"tlinkerclass"_s, u"tlinker"_s, u"tpara"_s};
        {
            DataSet tables(&probe);
            tables.setCommandText(u"Select name from sqlite_master where type='table'"_s);
            tables.open();
            for (int row = 0; row < tables.recordCount(); ++row)
                missing.removeAll(tables.text(row, 0).toLower());
        }
        probe.close();
        return missing.isEmpty();
    } catch (const DbError &) {
        return false;
    }
}

} // namespace DataMaintenance
