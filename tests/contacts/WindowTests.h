#pragma once

#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestAppFolder.h"
#include "data/uDM.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// A fresh application folder, the dialog and shell doubles, and the data module on it.
struct WindowFixture
{
    TestAppFolder app;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<TDM> dm;

    void connect()
    {
        dm = std::make_unique<TDM>(app.path());
        DM = dm.get();
    }
};

// Runs act on the next modal dialog of type T once it is shown (polled from the event loop,
// for at most five seconds). Queue it before the call that opens the dialog.
template <typename T> void whenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && !deadline->hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            act(dialog);
    });
    timer->start(5);
}

template <typename T> T *child(QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startListsFirstCategory();
    void readErrorWithMissingDatabase();
    void emptyCategoryTable();
    void addCategory();
    void addCategoryFailureLeavesNoRow();
    void renameCategory();
    void deleteCategory();
    void deleteContact();
    void listAllCategories();
    void search_data();
    void search();
    void enterInNameSearches();
    void editContactKeepsItCurrent();
    void addContactGoesToSelectedCategory();
    void moveContactWithPicker();
    void sendSmsChecks();
    void gridColumns();
    void findDialog_data();
    void findDialog();
    void findDialogWindow();
};

class TestEditor : public QObject
{
    Q_OBJECT
private slots:
    void newContactStoredExactly();
    void editedContactStoredExactly();
    void birthdayRules_data();
    void birthdayRules();
    void nameRequired();
    void cancelWritesNothing();
    void apostrophesSavedAndFound();
    void vanishedContactIsNotSaved();
    void jobListHoldsDistinctJobs();
    void qqLink();
    void enterMovesFocus();
};

class TestPickers : public QObject
{
    Q_OBJECT
private slots:
    void pickerListsSortedAndChooses();
    void pickerEmptyTable();
    void filterDialogFragments();
    void filterKeepsCategoryWhenPickerCancelled();
};

class TestMaintenance : public QObject
{
    Q_OBJECT
private slots:
    void backupThenRestore();
    void cancelledDialogsChangeNothing();
    void restoreRefused_data();
    void restoreRefused();
    void copyFailuresKeepDatabaseAndLists();
    void updaterAndProviderLinks();
};

class TestExport : public QObject
{
    Q_OBJECT
private slots:
    void readBackWithOpenpyxl();
    void columnsFollowTheGrid();
    void emptyAndClosedLists();
    void failedWriteLeavesNoFile();
};
