#include "WindowTests.h"

#include "common/ProviderSettings.h"
#include "common/uPub.h"
#include "contacts/BirthdayPicker.h"
#include "contacts/uEditALinker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QStringList storedColumns = {
    u"ClassID"_s,  u"Linker"_s,   u"PYCode"_s,  u"Job"_s,   u"Tele"_s,    u"MobileCode"_s,
    u"HomeTele"_s, u"Fax"_s,      u"QICQ"_s,    u"WW"_s,    u"ZFBCode"_s, u"ALWW"_s,
    u"EMail"_s,    u"Birthday"_s, u"Address"_s, u"Fancy"_s, u"Desp"_s};

// Every written column of one contact, as stored.
QStringList storedRow(TestAppFolder &app, qint64 id)
{
    QStringList values;
    for (const QString &c : storedColumns)
        values << app.queryValue(u"Select %1 from TLinker where ID=%2"_s.arg(c).arg(id));
    return values;
}

// The editor's fields with their column, in the order of storedColumns (after ClassID).
struct Field
{
    const char *control;
    QString value;
};

void fill(TfrmEditALinker &d, const QList<Field> &fields)
{
    for (const Field &f : fields) {
        QWidget *w = child<QWidget>(&d, f.control);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setText(f.value);
        else if (auto *c = qobject_cast<QComboBox *>(w))
            c->setEditText(f.value);
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setPlainText(f.value);
    }
}

BirthdayPicker *picker(TfrmEditALinker &d)
{
    return child<BirthdayPicker>(&d, "dtBirthday");
}

} // namespace

void TestEditor::newContactStoredExactly()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.connect();

    TfrmEditALinker d;
    d.ClassID = int(cls);
    d.LinkerID = -1;
    QVERIFY(d.ReadyData());
    QCOMPARE(d.windowTitle(), u"新增联系人资料"_s);
    fill(d, {{"EditName", u"王 五（A）"_s},
             {"cmbPos", u"经理"_s},
             {"EditTele", u"010-1"_s},
             {"EditMobileCode", u"013800000000"_s},
             {"EditElecHome", u"020-2"_s},
             {"EditFax", u"030-3"_s},
             {"EditQQ", u"10001"_s},
             {"EditAL", u"ali"_s},
             {"EditTB", u"taobao"_s},
             {"EditEMail", u"w@x.cn"_s},
             {"EditZFB", u"zfb"_s},
             {"EditAddress", u"北京路1号"_s},
             {"EditFancy", u"书法"_s},
             {"EditDesp", u"第一行\n第二行"_s}});
    d.cmdSaveClick();
    QVERIFY(!d.Cancelled);
    const QString id = f.app.queryValue(u"Select max(ID) from TLinker"_s);
    QCOMPARE(storedRow(f.app, id.toLongLong()),
             QStringList({QString::number(cls), u"王 五（A）"_s, GetPYCode(u"王 五（A）"_s),
                          u"经理"_s, u"010-1"_s, u"013800000000"_s, u"020-2"_s, u"030-3"_s,
                          u"10001"_s, u"taobao"_s, u"zfb"_s, u"ali"_s, u"w@x.cn"_s, u"1899-12-30"_s,
                          u"北京路1号"_s, u"书法"_s, u"第一行\n第二行"_s}));
    QCOMPARE(GetPYCode(u"王 五（A）"_s), u"W W A "_s);

    // Only a name: every other text column '', the unset birthday day 0.
    TfrmEditALinker d2;
    d2.ClassID = int(cls);
    QVERIFY(d2.ReadyData());
    fill(d2, {{"EditName", u"张三"_s}});
    d2.cmdSaveClick();
    QVERIFY(!d2.Cancelled);
    const QString id2 = f.app.queryValue(u"Select max(ID) from TLinker"_s);
    QStringList expected(storedColumns.size(), QString());
    expected[0] = QString::number(cls);
    expected[1] = u"张三"_s;
    expected[2] = u"ZS"_s;
    expected[13] = u"1899-12-30"_s;
    QCOMPARE(storedRow(f.app, id2.toLongLong()), expected);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker where Job IS NULL or Tele IS NULL"_s),
             u"0"_s);
    QVERIFY(f.dialogs.nothingShown());
}

void TestEditor::editedContactStoredExactly()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    const qint64 other = f.app.addCategory(u"朋友"_s);
    const qint64 id = f.app.addContact(cls, {.linker = u"李四"_s,
                                             .job = u"会计"_s,
                                             .tele = u"1"_s,
                                             .mobileCode = u"2"_s,
                                             .homeTele = u"3"_s,
                                             .fax = u"4"_s,
                                             .qicq = u"5"_s,
                                             .ww = u"6"_s,
                                             .zfbCode = u"7"_s,
                                             .alww = u"8"_s,
                                             .email = u"9"_s,
                                             .birthday = u"1970-01-02"_s,
                                             .address = u"a"_s,
                                             .fancy = u"b"_s,
                                             .desp = u"c"_s});
    f.connect();

    TfrmEditALinker d;
    d.ClassID = int(other); // an edit never moves the contact
    d.LinkerID = int(id);
    QVERIFY(d.ReadyData());
    QCOMPARE(d.windowTitle(), u"修改/查看联系人资料"_s);
    const QList<std::pair<const char *, QString>> shown = {
        {"EditName", u"李四"_s},  {"EditTele", u"1"_s},    {"EditMobileCode", u"2"_s},
        {"EditElecHome", u"3"_s}, {"EditFax", u"4"_s},     {"EditQQ", u"5"_s},
        {"EditTB", u"6"_s},       {"EditZFB", u"7"_s},     {"EditAL", u"8"_s},
        {"EditEMail", u"9"_s},    {"EditAddress", u"a"_s}, {"EditFancy", u"b"_s}};
    for (const auto &[control, value] : shown)
        QCOMPARE(child<QLineEdit>(&d, control)->text(), value);
    QCOMPARE(child<QComboBox>(&d, "cmbPos")->currentText(), u"会计"_s);
    QCOMPARE(child<QPlainTextEdit>(&d, "EditDesp")->toPlainText(), u"c"_s);
    QVERIFY(picker(d)->isChecked());
    QCOMPARE(picker(d)->dateEdit()->shownText(), u"1970-01-02"_s);

    fill(d, {{"EditName", u"李思思"_s}, {"cmbPos", u"总监"_s}, {"EditFax", QString()}});
    d.cmdSaveClick();
    QVERIFY(!d.Cancelled);
    QCOMPARE(storedRow(f.app, id),
             QStringList({QString::number(cls), u"李思思"_s, u"LSS"_s, u"总监"_s, u"1"_s, u"2"_s,
                          u"3"_s, QString(), u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s,
                          u"1970-01-02"_s, u"a"_s, u"b"_s, u"c"_s}));
    QVERIFY(f.dialogs.nothingShown());
}

void TestEditor::birthdayRules_data()
{
    QTest::addColumn<QString>("stored"); // empty: NULL
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("shownTicked");
    QTest::addColumn<QString>("written");
    QTest::newRow("set, untouched") << u"1985-07-09"_s << u""_s << true << u"1985-07-09"_s;
    QTest::newRow("first day shown") << u"1927-05-18"_s << u""_s << true << u"1927-05-18"_s;
    QTest::newRow("day before kept") << u"1927-05-17"_s << u""_s << false << u"1927-05-17"_s;
    QTest::newRow("old date kept") << u"1901-03-04"_s << u""_s << false << u"1901-03-04"_s;
    QTest::newRow("unset stays unset") << u"1899-12-30"_s << u""_s << false << u"1899-12-30"_s;
    QTest::newRow("null written as unset") << QString() << u""_s << false << u"1899-12-30"_s;
    QTest::newRow("cleared") << u"1985-07-09"_s << u"click"_s << true << u"1899-12-30"_s;
    QTest::newRow("old date ticked and cleared")
        << u"1901-03-04"_s << u"click,click"_s << false << u"1899-12-30"_s;
    QTest::newRow("date changed") << u"1985-07-09"_s << u"date"_s << true << u"2001-02-03"_s;
    QTest::newRow("ticked and set")
        << u"1899-12-30"_s << u"click,date"_s << false << u"2001-02-03"_s;
}

void TestEditor::birthdayRules()
{
    QFETCH(QString, stored);
    QFETCH(QString, action);
    QFETCH(bool, shownTicked);
    QFETCH(QString, written);
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    const qint64 id = f.app.addContact(cls, {.linker = u"老人"_s, .birthday = u"1899-12-30"_s});
    f.app.exec(stored.isNull() ? u"Update TLinker set Birthday=NULL"_s
                               : u"Update TLinker set Birthday='%1'"_s.arg(stored));
    f.connect();

    TfrmEditALinker d;
    d.ClassID = int(cls);
    d.LinkerID = int(id);
    QVERIFY(d.ReadyData());
    QCOMPARE(picker(d)->isChecked(), shownTicked);
    QCOMPARE(picker(d)->dateEdit()->shownText(), shownTicked ? stored : u" "_s);

    for (const QString &step : action.split(u',', Qt::SkipEmptyParts)) {
        if (step == u"click")
            picker(d)->checkBox()->click();
        else
            picker(d)->dateEdit()->setDate(QDate(2001, 2, 3));
    }
    // Editing another field must not lose the birthday.
    child<QLineEdit>(&d, "EditMobileCode")->setText(u"13900000000"_s);
    d.cmdSaveClick();
    QVERIFY(!d.Cancelled);
    QCOMPARE(f.app.queryValue(u"Select Birthday from TLinker where ID=%1"_s.arg(id)), written);
    QCOMPARE(f.app.queryValue(u"Select MobileCode from TLinker where ID=%1"_s.arg(id)),
             u"13900000000"_s);
}

void TestEditor::nameRequired()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.connect();
    TfrmEditALinker d;
    d.ClassID = int(cls);
    QVERIFY(d.ReadyData());
    fill(d, {{"EditTele", u"010"_s}});
    child<QLineEdit>(&d, "EditTele")->setFocus();
    d.cmdSaveClick();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"请输入联系人的姓名！"_s}));
    QVERIFY(d.Cancelled);
    QCOMPARE(d.focusWidget(), child<QWidget>(&d, "EditName"));
    QCOMPARE(child<QLineEdit>(&d, "EditTele")->text(), u"010"_s);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"0"_s);

    // Blanks are a name.
    fill(d, {{"EditName", u"  "_s}});
    d.cmdSaveClick();
    QVERIFY(!d.Cancelled);
    QCOMPARE(f.app.queryValue(u"Select Linker from TLinker"_s), u"  "_s);
}

void TestEditor::cancelWritesNothing()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    const qint64 id = f.app.addContact(cls, {.linker = u"张三"_s});
    f.connect();

    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        child<QLineEdit>(d, "EditName")->setText(u"李四"_s);
        child<QPushButton>(d, "cmdCancel")->click();
    });
    QVERIFY(!EditALinker(int(cls), -1));
    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        child<QLineEdit>(d, "EditName")->setText(u"李四"_s);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    QVERIFY(!EditALinker(int(cls), int(id)));
    QCOMPARE(f.app.queryColumn(u"Select Linker from TLinker"_s), QStringList({u"张三"_s}));

    // A contact that cannot be read: message, and the dialog is never shown.
    f.app.exec(u"Drop table TLinker"_s);
    QVERIFY(!EditALinker(int(cls), int(id)));
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"读取数据发生错误！"_s}));
}

void TestEditor::apostrophesSavedAndFound()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    f.connect();
    TfrmEditALinker d;
    d.ClassID = int(cls);
    QVERIFY(d.ReadyData());
    fill(d, {{"EditName", u"O'Brien"_s}, {"EditDesp", u"it's 'ok'"_s}, {"cmbPos", u"'"_s}});
    d.cmdSaveClick();
    QVERIFY(!d.Cancelled);
    const qint64 id =
        f.app.queryValue(u"Select ID from TLinker where Linker='O''Brien'"_s).toLongLong();
    QVERIFY(id > 0);
    QCOMPARE(f.app.queryValue(u"Select PYCode from TLinker where ID=%1"_s.arg(id)), u"O'Brien"_s);
    QCOMPARE(f.app.queryValue(u"Select Desp from TLinker where ID=%1"_s.arg(id)), u"it's 'ok'"_s);

    TfrmEditALinker e;
    e.LinkerID = int(id);
    QVERIFY(e.ReadyData());
    QCOMPARE(child<QLineEdit>(&e, "EditName")->text(), u"O'Brien"_s);
    fill(e, {{"EditName", u"小'明"_s}});
    e.cmdSaveClick();
    QVERIFY(!e.Cancelled);
    QCOMPARE(f.app.queryValue(
                 u"Select Linker||'|'||PYCode||'|'||Job from TLinker where ID=%1"_s.arg(id)),
             u"小'明|X'M|'"_s);
    QVERIFY(f.dialogs.nothingShown());
}

void TestEditor::vanishedContactIsNotSaved()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    const qint64 id = f.app.addContact(cls, {.linker = u"张三"_s});
    f.connect();

    TfrmEditALinker d;
    d.LinkerID = int(id);
    QVERIFY(d.ReadyData());
    f.app.exec(u"Delete from TLinker where ID=%1"_s.arg(id));
    fill(d, {{"EditTele", u"010-1234"_s}});
    d.cmdSaveClick();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"数据存储请求出现错误,保存失败！"_s}));
    QVERIFY(d.Cancelled);
    QCOMPARE(child<QLineEdit>(&d, "EditName")->text(), u"张三"_s);
    QCOMPARE(child<QLineEdit>(&d, "EditTele")->text(), u"010-1234"_s);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"0"_s);

    // An ID that is gone before the dialog opens: empty fields, and saving fails the same way.
    TfrmEditALinker e;
    e.LinkerID = int(id);
    QVERIFY(e.ReadyData());
    QCOMPARE(child<QLineEdit>(&e, "EditName")->text(), QString());
    QVERIFY(!picker(e)->isChecked());
    fill(e, {{"EditName", u"李四"_s}});
    e.cmdSaveClick();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"数据存储请求出现错误,保存失败！"_s}));
    QVERIFY(e.Cancelled);

    // The memo holds at most 200 characters.
    TfrmEditALinker g;
    g.ClassID = int(cls);
    QVERIFY(g.ReadyData());
    fill(g, {{"EditName", u"王五"_s}, {"EditDesp", QString(201, u'x')}});
    QCOMPARE(child<QPlainTextEdit>(&g, "EditDesp")->toPlainText().size(), 200);
    g.cmdSaveClick();
    QVERIFY(!g.Cancelled);
}

void TestEditor::jobListHoldsDistinctJobs()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    const qint64 id = f.app
                          .addContacts(cls, {{.linker = u"a"_s, .job = u"经理"_s},
                                             {.linker = u"b"_s, .job = u"经理"_s},
                                             {.linker = u"c"_s, .job = QString()},
                                             {.linker = u"d"_s, .job = u"会计"_s}})
                          .at(3);
    f.connect();

    TfrmEditALinker d;
    d.LinkerID = int(id);
    QVERIFY(d.ReadyData());
    auto *jobs = child<QComboBox>(&d, "cmbPos");
    QStringList items;
    for (int i = 0; i < jobs->count(); ++i)
        items << jobs->itemText(i);
    items.sort();
    QCOMPARE(items, QStringList({QString(), u"会计"_s, u"经理"_s}));
    QCOMPARE(jobs->currentText(), u"会计"_s);

    TfrmEditALinker n;
    n.ClassID = int(cls);
    QVERIFY(n.ReadyData());
    QCOMPARE(child<QComboBox>(&n, "cmbPos")->count(), 3);
    QCOMPARE(child<QComboBox>(&n, "cmbPos")->currentText(), QString());
}

void TestEditor::qqLink()
{
    WindowFixture f;
    f.app.addCategory(u"客户"_s);
    f.connect();
    TfrmEditALinker d;
    QVERIFY(d.ReadyData());
    d.sbQQClick();
    QVERIFY(f.shell.browsed.isEmpty());

    fill(d, {{"EditName", u"张 三"_s}, {"EditQQ", u"123456"_s}});
    child<QToolButton>(&d, "sbQQ")->click();
    QTest::mouseDClick(child<QLineEdit>(&d, "EditQQ"), Qt::LeftButton);
    const QString url =
        u"http://"_s + qqChatHost() + u"/msgrd?V=1&amp;Uin=123456&amp;Site=张 三&amp;Menu=yes"_s;
    QCOMPARE(f.shell.browsed, QStringList({url, url}));
    QVERIFY(f.shell.opened.isEmpty());
}

void TestEditor::enterMovesFocus()
{
    WindowFixture f;
    f.app.addCategory(u"客户"_s);
    f.connect();
    TfrmEditALinker d;
    QVERIFY(d.ReadyData());
    d.show();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    auto *name = child<QLineEdit>(&d, "EditName");
    QCOMPARE(d.focusWidget(), name);

    QTest::keyClick(name, Qt::Key_Return);
    QTRY_COMPARE(d.focusWidget(), child<QWidget>(&d, "cmbPos"));

    auto *memo = child<QPlainTextEdit>(&d, "EditDesp");
    memo->setFocus();
    QTest::keyClicks(memo, u"a"_s);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, u"b"_s);
    QCoreApplication::processEvents();
    QCOMPARE(d.focusWidget(), memo);
    QCOMPARE(memo->toPlainText(), u"a\nb"_s);
    QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
    QTRY_COMPARE(d.focusWidget(), child<QWidget>(&d, "cmdSave"));
    QCOMPARE(memo->toPlainText(), u"a\nb"_s);

    // Enter on a button moves on; it neither saves nor closes.
    QTest::keyClick(d.focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(d.focusWidget(), child<QWidget>(&d, "cmdCancel"));
    QVERIFY(d.isVisible());
    QVERIFY(d.Cancelled);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker"_s), u"0"_s);
    d.close();
}

void TestEditor::limitNeverSplitsACharacter()
{
    WindowFixture f;
    f.app.addCategory(u"客户"_s);
    f.connect();
    TfrmEditALinker d;
    QVERIFY(d.ReadyData());
    // A character of two UTF-16 units pasted into a field one unit short of its limit: at the
    // end, in the middle and at the start, no half of it stays.
    for (const int at : {19, 10, 0}) {
        auto *e = child<QLineEdit>(&d, "EditName");
        e->setText(QString(19, u'张'));
        e->setCursorPosition(at);
        e->insert(u"😀"_s);
        QCOMPARE(e->text(), QString(19, u'张'));
        QCOMPARE(e->cursorPosition(), at);
    }
}
