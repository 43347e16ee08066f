// mkdb [--demo] <path to ZARI.dat>: creates a fresh contact database.

#include "DemoData.h"

#include "data/Connection.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "data/uDM.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(u"--demo"_s) > 0;
    if (args.size() != 1 || args.first().startsWith(u'-')) {
        std::fprintf(stderr, "usage: mkdb [--demo] <path to ZARI.dat>\n");
        return 2;
    }
    const QString path = args.first();
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "mkdb: %s already exists; not replaced\n",
                     QFile::encodeName(path).constData());
        return 1;
    }
    try {
        Schema::createDatabaseFile(path);
        if (demo) {
            Connection connection;
            connection.setConnectionString(
                TDM::connectionStringFor(QString(), QFileInfo(path).absoluteFilePath()));
            try {
                fillDemoData(connection);
            } catch (...) {
                connection.close();
                QFile::remove(path);
                throw;
            }
        }
    } catch (const DbError &e) {
        std::fprintf(stderr, "mkdb: %s\n", e.what());
        return 1;
    }
    return 0;
}
