#pragma once

#include <QDialog>

class DataSet;
class DataSetModel;
class QTableView;
class QPushButton;

// The category picker.
class TfrmSelecctDepart : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSelecctDepart(QWidget *parent = nullptr);
    ~TfrmSelecctDepart() override;

    bool Cancelled = true;
    int SelectedID = 0;
    QString SelectedName;

    bool ReadyDepart();
    void cmdSelectClick();
    void cmdCloseClick();
    void DBGridEh2KeyDown(int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataSet *dsDepart;
    DataSetModel *m_model;
    QTableView *DBGridEh2;
    QPushButton *cmdSelect;
    QPushButton *cmdClose;
};

// Lets the user choose a category; true with its ID and name, false when cancelled or when
// the categories cannot be read.
bool SelectDepart(int &ID, QString &TitleName);
