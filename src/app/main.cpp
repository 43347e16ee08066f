#include "contacts/uMain.h"
#include "data/uDM.h"

#include <QApplication>
#include <QFont>

#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // The embedded browser's sandbox cannot run as root.
    if (geteuid() == 0) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--no-sandbox"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags + " --no-sandbox");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"QuilloBook"_s);
    QApplication::setApplicationDisplayName(u"Quillo通讯录软件"_s);
    QApplication::setFont(QFont(u"宋体"_s, 9));

    DM = new TDM;
    int rc = 0;
    {
        TfrmLinker frmLinker;
        frmLinker.showMaximized();
        rc = QApplication::exec();
    }
    delete DM;
    DM = nullptr;
    return rc;
}
