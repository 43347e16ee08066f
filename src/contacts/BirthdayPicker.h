#pragma once

#include <QDateEdit>
#include <QDateTime>
#include <QWidget>

class QCheckBox;

// A date edit that shows a single blank while it is switched off.
class BlankableDateEdit : public QDateEdit
{
    Q_OBJECT
public:
    using QDateEdit::QDateEdit;
    void setBlank(bool blank);
    bool isBlank() const { return m_blank; }
    QString shownText() const;

protected:
    QString textFromDateTime(const QDateTime &dateTime) const override;

private:
    bool m_blank = false;
};

// A date with a check box in front: ticked, the date shows as yyyy-MM-dd; cleared, it shows
// blank. userChanged() reports what the user does to either part, never what code sets.
class BirthdayPicker : public QWidget
{
    Q_OBJECT
public:
    explicit BirthdayPicker(QWidget *parent = nullptr);

    bool isChecked() const;
    void setChecked(bool checked);
    QDateTime dateTime() const { return m_dateTime; }
    void setDateTime(const QDateTime &dateTime);
    // Shows the date or the blank, as the box says.
    void applyCheckState();

    QCheckBox *checkBox() const { return m_check; }
    BlankableDateEdit *dateEdit() const { return m_edit; }

signals:
    void userChanged();

private:
    QCheckBox *m_check;
    BlankableDateEdit *m_edit;
    QDateTime m_dateTime;
    bool m_setting = false;
};
