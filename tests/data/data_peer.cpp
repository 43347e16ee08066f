// A second process for the storage tests.
//   data_peer lock-ex <file>    exit 0 when an exclusive non-blocking flock succeeds, 3 when
//                               another holder blocks it
//   data_peer hold-ex <file>    holds an exclusive flock, prints "locked", waits for stdin
//   data_peer insert <connection string> <count> <prefix>
//                               inserts count contacts one statement at a time, reading the
//                               table after each; prints the number of own rows at the end

#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/DbError.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && (args[1] == u"lock-ex"_s || args[1] == u"hold-ex"_s)) {
        const int fd = ::open(QFile::encodeName(args[2]).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return 4;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? 3 : 4;
        if (args[1] == u"hold-ex"_s) {
            std::printf("locked\n");
            std::fflush(stdout);
            char line[16];
            (void)!std::fgets(line, sizeof line, stdin);
        }
        ::close(fd);
        return 0;
    }
    if (args.size() == 5 && args[1] == u"insert"_s) {
        try {
            Connection connection;
            connection.setConnectionString(args[2]);
            const int count = args[3].toInt();
            const QString prefix = args[4];
            DataSet ds(&connection);
            ds.setCommandText(u"Select * from TLinker where Linker Like '"_s + prefix +
                              u"%' Order by Linker"_s);
            for (int i = 0; i < count; ++i) {
                connection.execute(
                    u"Insert into TLinker (ClassID,Linker,PYCode,Birthday) Values(1,'%1%2','',"
                    u"'1899-12-30')"_s.arg(prefix)
                        .arg(i));
                ds.close();
                ds.open();
                if (ds.recordCount() != i + 1) {
                    std::fprintf(stderr, "saw %d own rows after %d inserts\n", ds.recordCount(),
                                 i + 1);
                    return 1;
                }
            }
            std::printf("%d\n", ds.recordCount());
            return 0;
        } catch (const DbError &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "usage: data_peer lock-ex|hold-ex <file> | insert <cs> <n> <prefix>\n");
    return 2;
}
