#include "contacts/BirthdayPicker.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void BlankableDateEdit::setBlank(bool blank)
{
    m_blank = blank;
    setReadOnly(blank);
    lineEdit()->setText(textFromDateTime(dateTime()));
}

QString BlankableDateEdit::shownText() const
{
    return lineEdit()->text();
}

QString BlankableDateEdit::textFromDateTime(const QDateTime &dateTime) const
{
    return m_blank ? u" "_s : QDateEdit::textFromDateTime(dateTime);
}

BirthdayPicker::BirthdayPicker(QWidget *parent) : QWidget(parent)
{
    m_check = new QCheckBox(this);
    m_check->setObjectName(u"dtBirthdayCheck"_s);
    m_edit = new BlankableDateEdit(this);
    m_edit->setObjectName(u"dtBirthdayDate"_s);
    m_edit->setDisplayFormat(u"yyyy-MM-dd"_s);
    m_edit->setCalendarPopup(true);
    m_edit->setMinimumDate(QDate(1753, 1, 1));
    m_edit->setMaximumDate(QDate(9999, 12, 31));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);
    setFocusProxy(m_check);

    connect(m_check, &QCheckBox::toggled, this, [this] {
        applyCheckState();
        if (!m_setting)
            emit userChanged();
    });
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime &dt) {
        if (m_setting || m_edit->isBlank())
            return;
        m_dateTime = QDateTime(dt.date(), m_dateTime.time());
        emit userChanged();
    });
}

bool BirthdayPicker::isChecked() const
{
    return m_check->isChecked();
}

void BirthdayPicker::setChecked(bool checked)
{
    m_setting = true;
    m_check->setChecked(checked);
    m_setting = false;
}

void BirthdayPicker::setDateTime(const QDateTime &dateTime)
{
    m_setting = true;
    m_dateTime = dateTime;
    m_edit->setDateTime(dateTime);
    m_setting = false;
    applyCheckState();
}

void BirthdayPicker::applyCheckState()
{
    m_setting = true;
    m_edit->setBlank(!m_check->isChecked());
    m_setting = false;
}
