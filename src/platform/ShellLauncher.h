#pragma once

#include <QString>

// Hands files, programs and URLs to the desktop. Tests install a recorder instead.
class ShellLauncher
{
public:
    virtual ~ShellLauncher() = default;
    // An executable file is started detached; anything else is opened with the desktop's
    // default program (a folder, a document, a URL).
    virtual void open(const QString &target) = 0;
    // Opens a URL in the default web browser.
    virtual void browse(const QString &url) = 0;

    static ShellLauncher &instance();
    // Installs s (not owned); nullptr restores the desktop launcher.
    static void install(ShellLauncher *s);
};
