// A second QuilloBook-like process: holds the database of an application folder open,
// prints "open", and waits until its standard input ends.
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/uDM.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    try {
        Connection connection;
        connection.setConnectionString(
            TDM::connectionStringFor(QString::fromLocal8Bit(argv[1]), u"DB/ZARI.dat"_s));
        connection.open();
        std::printf("open\n");
        std::fflush(stdout);
        char line[16];
        while (std::fgets(line, sizeof line, stdin)) {
        }
    } catch (const DbError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
