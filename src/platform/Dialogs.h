#pragma once

#include <QString>

// Every message box, question, input box and file dialog of both programs goes through the
// installed Dialogs. Production shows Qt dialogs; tests install a scripted double.
class Dialogs
{
public:
    struct FileRequest
    {
        QString title;
        QString initialDir;
        QString fileName;       // proposed file name (may be a full path)
        QString filter;         // Qt filter text, e.g. "Quillo联系人备份文件 (*.WBK)"
        QString defaultSuffix;  // appended when the user types a name without one
        bool confirmOverwrite = true;
    };

    virtual ~Dialogs() = default;

    // A plain message with an OK button; lines are joined by "\r" or "\n".
    virtual void message(const QString &text) = 0;
    // A warning box with Yes and No; true for Yes.
    virtual bool confirm(const QString &text) = 0;
    // A question box with an information icon, Yes and No; true for Yes.
    virtual bool question(const QString &text) = 0;
    // The platform's standard error box, for failures no caller handles.
    virtual void error(const QString &text) = 0;
    // An input box; cancelling gives back defaultText, as the classic input box does.
    virtual QString inputBox(const QString &caption, const QString &prompt,
                             const QString &defaultText) = 0;
    // Open and save dialogs; an empty result means the user cancelled.
    virtual QString openFile(const FileRequest &request) = 0;
    virtual QString saveFile(const FileRequest &request) = 0;

    static Dialogs &instance();
    // Installs d (not owned) in place of the production dialogs; nullptr restores them.
    static void install(Dialogs *d);
};
