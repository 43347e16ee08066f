#pragma once

#include "ModalDialogs.h"
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
    void limitNeverSplitsACharacter();
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
