#include "updater/uServerUpdate.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(u"Quillo通讯录软件自动升级"_s);
    TfrmServerUpdate frmServerUpdate;
    QObject::connect(
        &frmServerUpdate, &TfrmServerUpdate::ended, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    frmServerUpdate.show();
    return app.exec();
}
