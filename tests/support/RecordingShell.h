#pragma once

#include "platform/ShellLauncher.h"

#include <QStringList>

// A ShellLauncher double: records targets instead of starting anything. Installs itself.
class RecordingShell : public ShellLauncher
{
public:
    RecordingShell() { ShellLauncher::install(this); }
    ~RecordingShell() override { ShellLauncher::install(nullptr); }

    void open(const QString &target) override { opened << target; }
    void browse(const QString &url) override { browsed << url; }

    QStringList opened;   // ShellRun targets, in order
    QStringList browsed;  // BrowseURL addresses, in order
};
