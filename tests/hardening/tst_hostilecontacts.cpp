// Hostile texts typed into every contact field that reaches SQL: the search box, each editor
// field, category names and the filter dialog's name. Each time the whole database is compared
// before and after: the one row the action writes holds exactly what the field shows, or the
// action is refused with a message; no other row changes; a search lists what LIKE with the
// typed text finds (a bound parameter computes the expected rows).
#include "HostileTexts.h"

#include "ModalDialogs.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TestAppFolder.h"

#include "common/GbkCodec.h"
#include "common/uPub.h"
#include "contacts/uEditALinker.h"
#include "contacts/uFilterSet.h"
#include "contacts/uMain.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Statement.h"
#include "data/uDM.h"
#include "sms/RecipientModel.h"
#include "sms/uSMSSend.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Fixture
{
    TestAppFolder app;
    ScriptedDialogs dialogs;
    RecordingShell shell;
    std::unique_ptr<TDM> dm;
    Connection reader; // the test's own view of the file
    qint64 customers = 0;
};
std::unique_ptr<Fixture> fx;

// Bound texts, so the expected rows never depend on quoting.
QStringList query(const QString &sql, const QStringList &params = {})
{
    Sql::Statement stmt(fx->reader.handle(), sql);
    for (int i = 0; i < int(params.size()); ++i)
        stmt.bindText(i + 1, params[i]);
    QStringList values;
    while (stmt.step() == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt.get(), 0));
        values << QString::fromUtf8(text, sqlite3_column_bytes(stmt.get(), 0));
    }
    return values;
}

const QStringList contactColumns = {
    u"ClassID"_s,  u"Linker"_s,   u"PYCode"_s,  u"Job"_s,   u"Tele"_s,    u"MobileCode"_s,
    u"HomeTele"_s, u"Fax"_s,      u"QICQ"_s,    u"WW"_s,    u"ZFBCode"_s, u"ALWW"_s,
    u"EMail"_s,    u"Birthday"_s, u"Address"_s, u"Fancy"_s, u"Desp"_s};

QString joined(const QStringList &values)
{
    return values.join(QChar(0x1f));
}

// Every row of both tables as one text each, sorted.
QStringList dump()
{
    QString contact = u"'L'||ID"_s;
    for (const QString &c : contactColumns)
        contact += u"||char(31)||coalesce("_s + c + u",'<null>')"_s;
    QStringList rows = query(u"Select 'C'||ID||char(31)||TitleName from TLinkerClass"_s);
    rows += query(u"Select "_s + contact + u" from TLinker"_s);
    rows.sort();
    return rows;
}

QString contactRow(qint64 id, const QStringList &values)
{
    return u"L"_s + QString::number(id) + QChar(0x1f) + joined(values);
}

bool fitsName(const QString &text)
{
    return !text.isEmpty() && text.size() <= 20;
}

// No half of a surrogate pair: the text survives UTF-8 unchanged.
bool wellFormed(const QString &text)
{
    return QString::fromUtf8(text.toUtf8()) == text;
}

// Types text into the field as a paste would.
void typeInto(QWidget *field, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        field = combo->lineEdit();
    if (auto *e = qobject_cast<QLineEdit *>(field)) {
        e->clear();
        e->insert(text);
    } else if (auto *m = qobject_cast<QPlainTextEdit *>(field)) {
        m->clear();
        m->insertPlainText(text);
    }
}

QString shownIn(QWidget *field)
{
    if (auto *combo = qobject_cast<QComboBox *>(field))
        return combo->currentText();
    if (auto *e = qobject_cast<QLineEdit *>(field))
        return e->text();
    return qobject_cast<QPlainTextEdit *>(field)->toPlainText();
}

QStringList listed(TfrmLinker &w)
{
    QStringList names;
    const int field = w.dsLinkerExd->fieldIndex(u"Linker"_s);
    for (int row = 0; row < w.dsLinkerExd->recordCount(); ++row)
        names << w.dsLinkerExd->text(row, field);
    return names;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

void addRows(const char *what)
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : hostileTexts())
        QTest::addRow("%s: %s", what, name) << text;
}

} // namespace

void TestHostileContacts::initTestCase()
{
    fx = std::make_unique<Fixture>();
    QVERIFY(fx->app.isValid());
    AppPath = fx->app.path();
    QFile provider(fx->app.path() + u"Provider.ini"_s);
    QVERIFY(provider.open(QIODevice::WriteOnly));
    provider.write("[Provider]\r\nGatewayHost=127.0.0.2\r\n"); // nothing listens there
    provider.close();

    fx->customers = fx->app.addCategory(u"客户"_s);
    fx->app.addCategory(u"朋友"_s);
    QList<TestAppFolder::Contact> contacts = {
        {.linker = u"张三"_s, .mobileCode = u"13800000001"_s},
        {.linker = u"李四"_s, .mobileCode = u"13800000002"_s}};
    // A contact named by each text that fits the name, for the searches to find.
    int n = 10;
    for (const auto &[name, text] : hostileTexts()) {
        if (fitsName(text))
            contacts.append({.linker = text, .mobileCode = u"139000000"_s + QString::number(n++)});
    }
    fx->app.addContacts(fx->customers, contacts);
    fx->dm = std::make_unique<TDM>(fx->app.path());
    DM = fx->dm.get();
    fx->reader.setConnectionString(fx->app.connectionString());
    fx->reader.open();
}

void TestHostileContacts::cleanupTestCase()
{
    DM = nullptr;
    fx.reset();
}

void TestHostileContacts::editorFields_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("text");
    const struct
    {
        const char *control, *column;
        int limit;
    } fields[] = {{"EditName", "Linker", 20},
                  {"cmbPos", "Job", 20},
                  {"EditTele", "Tele", 20},
                  {"EditMobileCode", "MobileCode", 20},
                  {"EditElecHome", "HomeTele", 20},
                  {"EditFax", "Fax", 20},
                  {"EditQQ", "QICQ", 20},
                  {"EditAL", "ALWW", 20},
                  {"EditTB", "WW", 20},
                  {"EditEMail", "EMail", 30},
                  {"EditZFB", "ZFBCode", 20},
                  {"EditAddress", "Address", 50},
                  {"EditFancy", "Fancy", 50},
                  {"EditDesp", "Desp", 200}};
    for (const auto &f : fields) {
        const QString control = QString::fromLatin1(f.control);
        const QString column = QString::fromLatin1(f.column);
        for (const auto &[name, text] : hostileTexts())
            QTest::addRow("%s: %s", f.control, name) << control << column << f.limit << text;
        QTest::addRow("%s: emoji at its own limit", f.control)
            << control << column << f.limit << QString(f.limit - 1, u'李') + u"😀"_s;
    }
}

void TestHostileContacts::editorFields()
{
    QFETCH(QString, control);
    QFETCH(QString, column);
    QFETCH(int, limit);
    QFETCH(QString, text);
    const QStringList before = dump();

    TfrmEditALinker d;
    d.ClassID = int(fx->customers);
    QVERIFY(d.ReadyData());
    QWidget *field = child<QWidget>(&d, qPrintable(control));
    if (control != u"EditName"_s)
        typeInto(child<QWidget>(&d, "EditName"), u"王五"_s);
    typeInto(field, text);

    // The field holds what was typed, cut only at its limit and never inside a character.
    const QString shown = shownIn(field);
    QVERIFY(shown.isEmpty() || text.startsWith(shown));
    QVERIFY2(wellFormed(shown), "the field holds half a character");
    if (text.size() <= limit)
        QCOMPARE(shown, text);
    else
        QVERIFY(shown.size() >= limit - 1);

    d.cmdSaveClick();
    if (shown.isEmpty() && control == u"EditName"_s) {
        QCOMPARE(fx->dialogs.takeTexts(), QStringList{u"请输入联系人的姓名！"_s});
        QVERIFY(d.Cancelled);
        QCOMPARE(dump(), before);
        return;
    }
    QVERIFY2(!d.Cancelled, qPrintable(fx->dialogs.takeTexts().join(u'/')));
    QVERIFY(fx->dialogs.nothingShown());

    const qint64 id = query(u"Select max(ID) from TLinker"_s).value(0).toLongLong();
    QStringList values(contactColumns.size(), QString());
    values[contactColumns.indexOf(u"ClassID"_s)] = QString::number(fx->customers);
    const QString name = control == u"EditName"_s ? shown : u"王五"_s;
    values[contactColumns.indexOf(u"Linker"_s)] = name;
    values[contactColumns.indexOf(u"PYCode"_s)] = GetPYCode(name);
    values[contactColumns.indexOf(u"Birthday"_s)] = u"1899-12-30"_s;
    values[contactColumns.indexOf(column)] = shown;
    QStringList expected = before;
    expected << contactRow(id, values);
    expected.sort();
    QCOMPARE(dump(), expected);

    // Opened again the field shows it, and saving it unchanged writes the same row.
    TfrmEditALinker e;
    e.LinkerID = int(id);
    QVERIFY(e.ReadyData());
    QCOMPARE(shownIn(child<QWidget>(&e, qPrintable(control))), shown);
    e.cmdSaveClick();
    QVERIFY2(!e.Cancelled, qPrintable(fx->dialogs.takeTexts().join(u'/')));
    QCOMPARE(dump(), expected);
}

void TestHostileContacts::searchBox_data()
{
    addRows("EditName");
}

void TestHostileContacts::searchBox()
{
    QFETCH(QString, text);
    const QStringList before = dump();
    TfrmLinker w;
    child<QCheckBox>(&w, "chkAll")->click();
    typeInto(child<QWidget>(&w, "EditName"), text);
    child<QPushButton>(&w, "cmdQuery")->click();
    QVERIFY(w.dsLinkerExd->isOpen());
    QVERIFY2(fx->dialogs.nothingShown(), qPrintable(fx->dialogs.takeTexts().join(u'/')));

    const QString pattern = u'%' + text + u'%';
    const QStringList expected =
        query(u"Select Linker from TLinker where Linker like ?1 or PYCode like ?1"_s, {pattern});
    QCOMPARE(sorted(listed(w)), sorted(expected));
    if (fitsName(text))
        QVERIFY(listed(w).contains(text));
    QCOMPARE(dump(), before);
}

void TestHostileContacts::categoryNames_data()
{
    addRows("category");
}

void TestHostileContacts::categoryNames()
{
    QFETCH(QString, text);
    const bool fits = text.size() <= 50;
    const QString prompt = u"请输入新的联系人分类："_s;
    const QString refused = u"更新数据发生错误！"_s;
    TfrmLinker w;

    // A new category.
    QStringList before = dump();
    fx->dialogs.answerInput(text);
    w.Button11Click();
    QStringList expected = before;
    if (text.isEmpty()) {
        QCOMPARE(fx->dialogs.takeTexts(), QStringList{prompt});
    } else if (!fits) {
        QCOMPARE(fx->dialogs.takeTexts(), (QStringList{prompt, refused}));
    } else {
        QCOMPARE(fx->dialogs.takeTexts(), QStringList{prompt});
        const QString id = query(u"Select max(ID) from TLinkerClass"_s).value(0);
        expected << u"C"_s + id + QChar(0x1f) + text;
        expected.sort();
        QCOMPARE(w.dsLinkClass->asString(u"TitleName"_s), text);
    }
    QCOMPARE(dump(), expected);

    // A category renamed to the text.
    fx->dialogs.answerInput(u"待改名"_s);
    w.Button11Click();
    QCOMPARE(fx->dialogs.takeTexts(), QStringList{prompt});
    const QString id = w.dsLinkClass->asString(u"ID"_s);
    before = dump();
    fx->dialogs.answerInput(text);
    w.Button12Click();
    expected = before;
    if (text.isEmpty()) {
        QCOMPARE(fx->dialogs.takeTexts(), QStringList{prompt});
    } else if (!fits) {
        QCOMPARE(fx->dialogs.takeTexts(), (QStringList{prompt, refused}));
        QCOMPARE(w.dsLinkClass->asString(u"TitleName"_s), u"待改名"_s);
    } else {
        QCOMPARE(fx->dialogs.takeTexts(), QStringList{prompt});
        expected.replace(expected.indexOf(u"C"_s + id + QChar(0x1f) + u"待改名"_s),
                         u"C"_s + id + QChar(0x1f) + text);
        expected.sort();
    }
    QCOMPARE(dump(), expected);
}

void TestHostileContacts::filterName_data()
{
    addRows("filter");
}

void TestHostileContacts::filterName()
{
    QFETCH(QString, text);
    const QStringList before = dump();
    QPointer<TfrmSMSSend> w = new TfrmSMSSend;
    w->setRecipients({u"13999999999"_s});
    whenModal<TfrmFilterset>([text](TfrmFilterset *d) {
        typeInto(child<QWidget>(d, "EditName"), text);
        child<QPushButton>(d, "Button1")->click();
    });
    w->Button5Click();
    const std::vector<QString> entries = w->listModel->entries();
    const QStringList got(entries.begin(), entries.end());
    delete w;
    QVERIFY2(fx->dialogs.nothingShown(), qPrintable(fx->dialogs.takeTexts().join(u'/')));

    const QStringList expected = query(u"Select MobileCode from TLinker where MobileCode<>'' and "
                                       u"(Linker like ?1 or PYCode like ?1)"_s,
                                       {u'%' + text + u'%'});
    QCOMPARE(sorted(got), sorted(expected));
    QCOMPARE(dump(), before);
}
