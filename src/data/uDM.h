#pragma once

#include "data/Connection.h"
#include "data/DataSet.h"

#include <QObject>
#include <QStringList>

// The data module: the one shared connection of QuilloBook and its query routines.
class TDM : public QObject
{
    Q_OBJECT
public:
    // appFolder empty: the folder of the running executable. Tests pass their own folder.
    // Runs DataModuleCreate.
    explicit TDM(const QString &appFolder = QString(), QObject *parent = nullptr);
    ~TDM() override;

    Connection *ADOLocal;
    DataSet *dsQuery;
    DataSet *dsItems;

    void GetItemsBySQL(const QString &sql, QStringList &items);
    QString GetDataBySQL(const QString &sql);
    void GetDataBySQLToItems(const QString &sql, QStringList &items, bool clearFirst);

    // The connection string for a database file under appPath ("db/ZARI.dat" etc).
    static QString connectionStringFor(const QString &appPath, const QString &relativeFile);

private:
    void DataModuleCreate(const QString &appFolder);
};

// The one instance, created by main() before the main window (null before that).
extern TDM *DM;
