#include "contacts/uEditALinker.h"

#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "contacts/BirthdayPicker.h"
#include "contacts/ContactQueries.h"
#include "data/Command.h"
#include "data/DataSet.h"
#include "data/DbError.h"
#include "data/uDM.h"
#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The length limit counts UTF-16 units, so a pasted text can be cut between the two halves of a
// character outside the Basic Multilingual Plane, at the end or where it was inserted; a half
// left over is dropped.
void dropHalfCharacters(QLineEdit *e)
{
    QObject::connect(e, &QLineEdit::textChanged, e, [e](const QString &text) {
        const int cursor = e->cursorPosition();
        QString whole;
        whole.reserve(text.size());
        int at = cursor;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            const bool paired = c.isHighSurrogate()
                                    ? i + 1 < text.size() && text[i + 1].isLowSurrogate()
                                : c.isLowSurrogate() ? i > 0 && text[i - 1].isHighSurrogate()
                                                     : true;
            if (paired)
                whole += c;
            else if (i < cursor)
                --at;
        }
        if (whole.size() == text.size())
            return;
        e->setText(whole);
        e->setCursorPosition(at);
    });
}

QLineEdit *makeEdit(const QString &name, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    dropHalfCharacters(e);
    return e;
}

// A memo with a limit on its length, as a multi-line edit box has.
void limitLength(QPlainTextEdit *memo, int maxLength)
{
    QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [memo, maxLength] {
        const QString text = memo->toPlainText();
        if (text.size() <= maxLength)
            return;
        // Never keep half of a character outside the Basic Multilingual Plane.
        const int keep = text.at(maxLength - 1).isHighSurrogate() ? maxLength - 1 : maxLength;
        QTextCursor cursor = memo->textCursor();
        const int at = qMin(cursor.position(), keep);
        memo->setPlainText(text.left(keep));
        cursor = memo->textCursor();
        cursor.setPosition(at);
        memo->setTextCursor(cursor);
    });
}

} // namespace

TfrmEditALinker::TfrmEditALinker(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmEditALinker"_s);
    EditName = makeEdit(u"EditName"_s, 20, this);
    cmbPos = new QComboBox(this);
    cmbPos->setObjectName(u"cmbPos"_s);
    cmbPos->setEditable(true);
    cmbPos->setInsertPolicy(QComboBox::NoInsert);
    cmbPos->lineEdit()->setMaxLength(20);
    dropHalfCharacters(cmbPos->lineEdit());
    EditTele = makeEdit(u"EditTele"_s, 20, this);
    EditMobileCode = makeEdit(u"EditMobileCode"_s, 20, this);
    EditElecHome = makeEdit(u"EditElecHome"_s, 20, this);
    EditFax = makeEdit(u"EditFax"_s, 20, this);
    EditQQ = makeEdit(u"EditQQ"_s, 20, this);
    sbQQ = new QToolButton(this);
    sbQQ->setObjectName(u"sbQQ"_s);
    sbQQ->setText(u"QQ"_s);
    sbQQ->setAutoRaise(true);
    sbQQ->setToolTip(u"QQ交谈"_s);
    sbQQ->setAccessibleName(u"QQ交谈"_s);
    sbQQ->setFocusPolicy(Qt::NoFocus);
    EditAL = makeEdit(u"EditAL"_s, 20, this);
    EditTB = makeEdit(u"EditTB"_s, 20, this);
    EditEMail = makeEdit(u"EditEMail"_s, 30, this);
    EditZFB = makeEdit(u"EditZFB"_s, 20, this);
    dtBirthday = new BirthdayPicker(this);
    dtBirthday->setObjectName(u"dtBirthday"_s);
    EditAddress = makeEdit(u"EditAddress"_s, 50, this);
    EditFancy = makeEdit(u"EditFancy"_s, 50, this);
    EditDesp = new QPlainTextEdit(this);
    EditDesp->setObjectName(u"EditDesp"_s);
    EditDesp->setTabChangesFocus(true);
    EditDesp->setFixedHeight(EditDesp->fontMetrics().height() * 5);
    limitLength(EditDesp, 200);
    cmdSave = new QPushButton(u"保存(&S)"_s, this);
    cmdSave->setObjectName(u"cmdSave"_s);
    cmdSave->setAccessibleName(u"保存"_s);
    cmdCancel = new QPushButton(u"取消(&X)"_s, this);
    cmdCancel->setObjectName(u"cmdCancel"_s);
    cmdCancel->setAccessibleName(u"取消"_s);
    // Enter moves between fields; no button reacts to it.
    for (QPushButton *b : {cmdSave, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    auto *grid = new QGridLayout;
    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        buddy->setAccessibleName(QString(text).simplified().remove(u' '));
        return l;
    };
    auto *qqBox = new QHBoxLayout;
    qqBox->setSpacing(2);
    qqBox->addWidget(EditQQ, 1);
    qqBox->addWidget(sbQQ);
    const struct
    {
        const char16_t *text;
        QWidget *field;
        QLayout *box;
    } pairs[] = {
        {u"姓名", EditName, nullptr},         {u"职位", cmbPos, nullptr},
        {u"办公电话", EditTele, nullptr},     {u"移动电话", EditMobileCode, nullptr},
        {u"家用电话", EditElecHome, nullptr}, {u"传真", EditFax, nullptr},
        {u"QQ  号码", EditQQ, qqBox},         {u"阿里帐号", EditAL, nullptr},
        {u"淘宝帐号", EditTB, nullptr},       {u"电子邮件", EditEMail, nullptr},
        {u"支付宝", EditZFB, nullptr},        {u"生日", dtBirthday, nullptr},
    };
    int i = 0;
    for (const auto &p : pairs) {
        const int row = i / 2;
        const int col = (i % 2) * 2;
        grid->addWidget(label(QStringView(p.text).toString(), p.field), row, col);
        if (p.box)
            grid->addLayout(p.box, row, col + 1);
        else
            grid->addWidget(p.field, row, col + 1);
        ++i;
    }
    dtBirthday->checkBox()->setAccessibleName(u"生日"_s);
    dtBirthday->dateEdit()->setAccessibleName(u"生日"_s);
    int row = int(std::size(pairs) / 2);
    grid->addWidget(label(u"详细地址"_s, EditAddress), row, 0);
    grid->addWidget(EditAddress, row++, 1, 1, 3);
    grid->addWidget(label(u"个人嗜好"_s, EditFancy), row, 0);
    grid->addWidget(EditFancy, row++, 1, 1, 3);
    auto *despLabel = label(u"其他信息"_s, EditDesp);
    grid->addWidget(despLabel, row, 0, Qt::AlignTop);
    grid->addWidget(EditDesp, row++, 1, 1, 3);
    grid->setColumnMinimumWidth(1, 150);
    grid->setColumnMinimumWidth(3, 150);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *order[] = {EditName,
                        cmbPos,
                        EditTele,
                        EditMobileCode,
                        EditElecHome,
                        EditFax,
                        EditQQ,
                        EditAL,
                        EditTB,
                        EditEMail,
                        EditZFB,
                        dtBirthday->checkBox(),
                        dtBirthday->dateEdit(),
                        EditAddress,
                        EditFancy,
                        EditDesp,
                        cmdSave,
                        cmdCancel};
    for (size_t k = 0; k + 1 < std::size(order); ++k)
        setTabOrder(order[k], order[k + 1]);
    // Key preview: every key of the dialog passes the form first.
    for (QWidget *w : order)
        w->installEventFilter(this);
    cmbPos->lineEdit()->installEventFilter(this);
    EditQQ->installEventFilter(this);

    dsQuery = new DataSet(DM->ADOLocal, this);
    ADOCommand1 = new Command(DM->ADOLocal);

    connect(cmdSave, &QPushButton::clicked, this, &TfrmEditALinker::cmdSaveClick);
    connect(cmdCancel, &QPushButton::clicked, this, &TfrmEditALinker::cmdCancelClick);
    connect(sbQQ, &QToolButton::clicked, this, &TfrmEditALinker::sbQQClick);
    connect(dtBirthday, &BirthdayPicker::userChanged, this, [this] {
        m_birthdayTouched = true;
        dtBirthdayChange();
    });
    FormCreate();
    EditName->setFocus();
}

TfrmEditALinker::~TfrmEditALinker()
{
    delete ADOCommand1;
}

void TfrmEditALinker::FormCreate()
{
    Cancelled = true;
    dtBirthday->setChecked(false);
    dtBirthday->setDateTime(QDateTime::currentDateTime());
    dtBirthdayChange();
}

bool TfrmEditALinker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(event);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            FormKeyDown(ke->key(), ke->modifiers());
            // Plain Enter in the memo starts a new line; elsewhere it only moves on.
            const bool memo = watched == EditDesp || watched == EditDesp->viewport();
            if (!memo || (ke->modifiers() & Qt::ControlModifier))
                return true;
        }
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == EditQQ) {
        sbQQClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmEditALinker::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    EnterMovesFocus(focusWidget(), key, shift);
}

void TfrmEditALinker::fillJobs()
{
    const QString shown = cmbPos->currentText();
    QStringList jobs;
    DM->GetItemsBySQL(ContactSql::distinctJobs.toString(), jobs);
    cmbPos->clear();
    cmbPos->addItems(jobs);
    cmbPos->setEditText(shown);
}

bool TfrmEditALinker::ReadyData()
{
    if (LinkerID < 0) {
        setWindowTitle(u"新增联系人资料"_s);
        fillJobs();
        return true;
    }
    setWindowTitle(u"修改/查看联系人资料"_s);
    QDateTime birthday(ContactSql::noBirthday(), QTime(0, 0));
    try {
        dsQuery->close();
        dsQuery->setCommandText(ContactSql::contactById(LinkerID));
        dsQuery->open();
        if (!dsQuery->isEmpty()) {
            EditName->setText(dsQuery->asString(u"Linker"_s));
            cmbPos->setEditText(dsQuery->asString(u"Job"_s));
            EditTele->setText(dsQuery->asString(u"Tele"_s));
            EditMobileCode->setText(dsQuery->asString(u"MobileCode"_s));
            EditElecHome->setText(dsQuery->asString(u"HomeTele"_s));
            EditFax->setText(dsQuery->asString(u"Fax"_s));
            EditQQ->setText(dsQuery->asString(u"QICQ"_s));
            EditTB->setText(dsQuery->asString(u"WW"_s));
            EditAL->setText(dsQuery->asString(u"ALWW"_s));
            EditZFB->setText(dsQuery->asString(u"ZFBCode"_s));
            EditEMail->setText(dsQuery->asString(u"EMail"_s));
            const QDateTime stored = dsQuery->asDateTime(u"Birthday"_s);
            if (stored.isValid()) {
                birthday = stored;
                m_storedBirthday = stored.date();
            }
            EditAddress->setText(dsQuery->asString(u"Address"_s));
            EditFancy->setText(dsQuery->asString(u"Fancy"_s));
            EditDesp->setPlainText(dsQuery->asString(u"Desp"_s));
        }
        dsQuery->close();
    } catch (const DbError &) {
        Dialogs::instance().message(u"读取数据发生错误！"_s);
        return false;
    }
    dtBirthday->setDateTime(birthday);
    fillJobs();
    if (birthday.date() >= ContactSql::firstBirthday()) {
        dtBirthday->setChecked(true);
        dtBirthdayChange();
    }
    return true;
}

QString TfrmEditALinker::birthdayText() const
{
    QDate date;
    if (!m_birthdayTouched && m_storedBirthday.isValid())
        date = m_storedBirthday; // written back exactly as it was read
    else if (dtBirthday->isChecked())
        date = dtBirthday->dateTime().date();
    else
        date = ContactSql::noBirthday();
    return date.toString(u"yyyy-MM-dd"_s);
}

bool TfrmEditALinker::SaveData()
{
    const QString name = EditName->text();
    if (name.isEmpty()) {
        Dialogs::instance().message(u"请输入联系人的姓名！"_s);
        EditName->setFocus();
        return false;
    }
    if (!dtBirthday->isChecked()) {
        QDateTime d = dtBirthday->dateTime();
        d.setDate(ContactSql::noBirthday());
        dtBirthday->setDateTime(d);
    }
    ContactSql::ContactFields f;
    f.linker = name;
    f.pyCode = GetPYCode(name);
    f.job = cmbPos->currentText();
    f.tele = EditTele->text();
    f.mobileCode = EditMobileCode->text();
    f.homeTele = EditElecHome->text();
    f.fax = EditFax->text();
    f.qicq = EditQQ->text();
    f.ww = EditTB->text();
    f.zfbCode = EditZFB->text();
    f.alww = EditAL->text();
    f.email = EditEMail->text();
    f.birthday = birthdayText();
    f.address = EditAddress->text();
    f.fancy = EditFancy->text();
    f.desp = EditDesp->toPlainText();

    const QString sql = LinkerID < 0 ? ContactSql::insertContact(ClassID, f)
                                     : ContactSql::updateContact(LinkerID, f);
    bool stored = false;
    try {
        ADOCommand1->setCommandText(sql);
        // An UPDATE that matches no row has stored nothing: the contact is gone.
        stored = ADOCommand1->execute() > 0;
    } catch (const DbError &) {
        stored = false;
    }
    if (!stored) {
        Dialogs::instance().message(u"数据存储请求出现错误,保存失败！"_s);
        return false;
    }
    return true;
}

void TfrmEditALinker::cmdSaveClick()
{
    if (SaveData()) {
        Cancelled = false;
        close();
    }
}

void TfrmEditALinker::cmdCancelClick()
{
    close();
}

void TfrmEditALinker::dtBirthdayChange()
{
    dtBirthday->applyCheckState();
}

void TfrmEditALinker::sbQQClick()
{
    const QString qq = EditQQ->text();
    if (qq.isEmpty())
        return;
    BrowseURL(u"http://"_s + qqChatHost() + u"/msgrd?V=1&amp;Uin="_s + qq + u"&amp;Site="_s +
              EditName->text() + u"&amp;Menu=yes"_s);
}

bool EditALinker(int ClassID, int LinkerID)
{
    TfrmEditALinker dialog;
    dialog.ClassID = ClassID;
    dialog.LinkerID = LinkerID;
    if (!dialog.ReadyData())
        return false;
    dialog.exec();
    return !dialog.Cancelled;
}
