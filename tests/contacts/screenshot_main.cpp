// Draws the main window over a fresh demo database into a PNG file.
#include "../../tools/mkdb/DemoData.h"
#include "contacts/uMain.h"
#include "data/Connection.h"
#include "data/Schema.h"
#include "data/uDM.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: screenshot_main <output.png> [tab index]\n");
        return 2;
    }
    QApplication::setApplicationDisplayName(u"Quillo通讯录软件"_s);
    QApplication::setFont(QFont(u"宋体"_s, 9));

    QTemporaryDir folder;
    const QString appPath = folder.path() + u'/';
    QDir(appPath).mkpath(u"DB"_s);
    Schema::createDatabaseFile(appPath + u"DB/ZARI.dat"_s);
    {
        Connection c;
        c.setConnectionString(TDM::connectionStringFor(appPath, u"DB/ZARI.dat"_s));
        c.open();
        fillDemoData(c);
    }

    DM = new TDM(appPath);
    int rc = 0;
    {
        TfrmLinker w;
        // Without a window manager nothing maximises; take the screen's size ourselves.
        w.setGeometry(QApplication::primaryScreen()->availableGeometry());
        if (argc == 3)
            w.findChild<QTabWidget *>(u"PageControl1"_s)->setCurrentIndex(atoi(argv[2]));
        w.showMaximized();
        if (!QTest::qWaitForWindowExposed(&w))
            rc = 1;
        QTest::qWait(300);
        if (rc == 0 && !w.grab().save(QString::fromLocal8Bit(argv[1])))
            rc = 1;
    }
    delete DM;
    return rc;
}
