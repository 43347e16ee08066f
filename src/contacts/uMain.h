#pragma once

#include <QMainWindow>

class DataSet;
class DataSetModel;
class GridFindDialog;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

// The main window: categories on the left, the contacts of the selected one on the right,
// and the data maintenance page.
class TfrmLinker : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmLinker(QWidget *parent = nullptr);
    ~TfrmLinker() override;

    DataSet *dsLinkClass;
    DataSet *dsLinkerExd;

    // Opens the category list; false (after the message) when it cannot be read.
    bool ReaduLinker();
    // Lists the contacts of the current category (or of all, with chkAll ticked).
    void dsLinkClassAfterScroll();

    void cmdQueryClick();
    void chkAllClick();
    void EditNameKeyDown(int key);
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button15Click();
    void Button16Click();
    void Button7Click();
    void Button8Click();
    void Button6Click();
    void Button3Click();
    void Button2Click();
    void Button1Click();

    // The data maintenance page.
    void Button4Click();
    void Button5Click();
    void cmdRegClick();
    void Image1Click();
    void TabSheet2ContextPopup();

    QTableView *contactGrid() const { return DBGridEh7; }
    DataSetModel *contactModel() const { return m_contactModel; }
    GridFindDialog *findDialog() const { return m_find; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();
    QWidget *buildContactPage();
    QWidget *buildMaintenancePage();
    bool hasCategory() const;
    bool hasContact() const;
    // After a copy that failed: the connection and the lists back as they were.
    void reconnectAndRelist(const QString &classId);
    // Starts a new QuilloBook and closes this window.
    void restart();

    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QGroupBox *GroupBox9;
    QTableView *DBGridEh8;
    QPushButton *Button11;
    QPushButton *Button12;
    QPushButton *Button13;
    QGroupBox *GroupBox10;
    QCheckBox *chkAll;
    QLineEdit *EditName;
    QPushButton *cmdQuery;
    QTableView *DBGridEh7;
    QPushButton *Button14;
    QPushButton *Button15;
    QPushButton *Button16;
    QPushButton *Button7;
    QPushButton *Button8;
    QPushButton *Button6;
    QPushButton *Button3;
    QPushButton *Button2;
    QPushButton *Button1;
    QPushButton *Button4;
    QPushButton *Button5;
    QPushButton *cmdReg;
    QLabel *Image1;

    DataSetModel *m_classModel;
    DataSetModel *m_contactModel;
    GridFindDialog *m_find = nullptr;
};
