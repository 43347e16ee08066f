#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QToolButton;

// The contact filter dialog: a category and part of a name, as a WHERE fragment.
class TfrmFilterset : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmFilterset(QWidget *parent = nullptr);

    bool Cancelled = true;
    int ClassID = -1;
    QString FilterText;

    void SpeedButton6Click();
    void Button1Click();
    void Button2Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *EditToGoods;
    QToolButton *SpeedButton6;
    QLineEdit *EditName;
    QPushButton *Button1;
    QPushButton *Button2;
};

// Shows the filter dialog; true with the fragment (possibly empty) when confirmed.
bool SelectFilter(QString &FilterText);
