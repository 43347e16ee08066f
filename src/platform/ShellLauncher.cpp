#include "platform/ShellLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

class DesktopLauncher : public ShellLauncher
{
public:
    void open(const QString &target) override
    {
        const QFileInfo info(target);
        if (info.isFile() && info.isExecutable()) {
            QProcess::startDetached(info.absoluteFilePath(), {}, info.absolutePath());
            return;
        }
        if (info.exists()) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
            return;
        }
        QDesktopServices::openUrl(QUrl::fromUserInput(target));
    }

    void browse(const QString &url) override
    {
        QDesktopServices::openUrl(QUrl::fromUserInput(url));
    }
};

ShellLauncher *installed = nullptr;

} // namespace

ShellLauncher &ShellLauncher::instance()
{
    static DesktopLauncher desktop;
    return installed ? *installed : desktop;
}

void ShellLauncher::install(ShellLauncher *s)
{
    installed = s;
}
