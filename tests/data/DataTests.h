#pragma once

#include <QObject>

class TestConnection : public QObject
{
    Q_OBJECT
private slots:
    void openFailures_data();
    void openFailures();
    void folderNamesIgnoreCase();
    void closeClosesDatasets();
    void executeRejectsBadText_data();
    void executeRejectsBadText();
};

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void tableLayout();
    void textLengths_data();
    void textLengths();
    void birthday_data();
    void birthday();
    void dateSerials();
    void textComparisonIgnoresCase_data();
    void textComparisonIgnoresCase();
    void pinyinOrder();
    void pinyinCompareAnyBytes();
    void mobileCodeNotEmptyExcludesNull();
};

class TestDataSet : public QObject
{
    Q_OBJECT
private slots:
    void afterScrollSequence();
    void emptyResultRaisesNoScroll();
    void fieldAccess();
    void appendedRowGetsIdAndStaysLast();
    void failedPostLeavesFileUnchanged_data();
    void failedPostLeavesFileUnchanged();
    void editWritesAnyText();
    void editOfRowGoneFromFileFails();
    void locateById();
    void deleteRow();
    void openFailureKeepsDatasetClosed_data();
    void openFailureKeepsDatasetClosed();
};

class TestDM : public QObject
{
    Q_OBJECT
private slots:
    void startupConnects();
    void startupFailureShowsMdacMessage_data();
    void startupFailureShowsMdacMessage();
    void routinesOnEmptyTable();
    void routinesWithRejectedSql_data();
    void routinesWithRejectedSql();
    void getItemsWithEmptySqlKeepsList();
    void distinctJobKeepsEmptyAndNull();
    void getDataToItemsAddsNonEmpty();
};

class TestConcurrency : public QObject
{
    Q_OBJECT
private slots:
    void connectionHoldsSharedLock();
    void exclusiveLockBlocksOpen();
    void twoProcessesShareTheFile();
};
