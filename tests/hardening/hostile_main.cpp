#include "HostileTexts.h"

#include <QApplication>
#include <QTest>

#include <unistd.h>

int main(int argc, char *argv[])
{
    // The SMS window's account page is a browser engine: shared GL contexts, and as root no
    // sandbox.
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --no-sandbox");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    int status = 0;
    {
        TestHostileInput t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        TestHostileContacts t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
