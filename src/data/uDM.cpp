#include "data/uDM.h"

#include "common/uPub.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

TDM *DM = nullptr;

TDM::TDM(const QString &appFolder, QObject *parent)
    : QObject(parent), ADOLocal(new Connection(this)), dsQuery(new DataSet(ADOLocal, this)),
      dsItems(new DataSet(ADOLocal, this))
{
    DataModuleCreate(appFolder);
}

TDM::~TDM()
{
    delete dsItems;
    delete dsQuery;
    delete ADOLocal;
    if (DM == this)
        DM = nullptr;
}

QString TDM::connectionStringFor(const QString &appPath, const QString &relativeFile)
{
    return u"Provider=SQLCipher;Data Source="_s + appPath + relativeFile +
           u";Persist Security Info=False"_s + u";Jet OLEDB:Database Password="_s +
           Schema::databasePassword();
}

void TDM::DataModuleCreate(const QString &appFolder)
{
    QString path = appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : appFolder;
    if (!path.endsWith(u'/'))
        path += u'/';
    AppPath = path;

    ADOLocal->setConnectionString(connectionStringFor(AppPath, u"db/ZARI.dat"_s));
    try {
        ADOLocal->open();
    } catch (const DbError &) {
        Dialogs::instance().message(
            u"请确认您的程序是否安装正确，或者没有安装MDAC数据访问组件！"_s);
    }
}

void TDM::GetItemsBySQL(const QString &sql, QStringList &items)
{
    if (sql.isEmpty())
        return;
    dsItems->close();
    try {
        dsItems->setCommandText(sql);
        dsItems->open();
    } catch (const DbError &) {
        return;
    }
    items.clear();
    const int count = dsItems->recordCount();
    for (int row = 0; row < count; ++row)
        items << dsItems->text(row, 0);
    dsItems->close();
}

QString TDM::GetDataBySQL(const QString &sql)
{
    QString result;
    dsQuery->close();
    dsQuery->setCommandText(sql);
    try {
        dsQuery->open();
        if (!dsQuery->isEmpty())
            result = dsQuery->asString(0);
    } catch (const DbError &) {
    }
    return result;
}

void TDM::GetDataBySQLToItems(const QString &sql, QStringList &items, bool clearFirst)
{
    dsQuery->close();
    dsQuery->setCommandText(sql);
    try {
        dsQuery->open();
        if (clearFirst)
            items.clear();
        dsQuery->first();
        while (!dsQuery->eof()) {
            const QString value = dsQuery->asString(0);
            if (!value.isEmpty())
                items << value;
            dsQuery->next();
        }
    } catch (const DbError &) {
    }
}
