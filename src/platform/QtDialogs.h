#pragma once

#include "platform/Dialogs.h"

// The production dialogs: QMessageBox, QInputDialog and QFileDialog over the active window.
class QtDialogs : public Dialogs
{
public:
    void message(const QString &text) override;
    bool confirm(const QString &text) override;
    bool question(const QString &text) override;
    void error(const QString &text) override;
    QString inputBox(const QString &caption, const QString &prompt,
                     const QString &defaultText) override;
    QString openFile(const FileRequest &request) override;
    QString saveFile(const FileRequest &request) override;
};
