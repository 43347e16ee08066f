#include "WindowTests.h"

#include "contacts/DataSetModel.h"
#include "contacts/GridFind.h"
#include "contacts/uEditALinker.h"
#include "contacts/uMain.h"
#include "contacts/uSelecctDepart.h"
#include "data/DataSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Seeded
{
    qint64 customers = 0;
    qint64 friends = 0;
    qint64 colleagues = 0;
};

// Three categories (客户, 朋友, 同事 in pinyin order), the last one empty.
Seeded seed(TestAppFolder &app)
{
    Seeded s;
    s.friends = app.addCategory(u"朋友"_s);
    s.colleagues = app.addCategory(u"同事"_s);
    s.customers = app.addCategory(u"客户"_s);
    app.addContacts(s.customers, {{.linker = u"张三"_s, .mobileCode = u"13800000001"_s},
                                  {.linker = u"李四"_s, .mobileCode = u"12345"_s},
                                  {.linker = u"O'Brien"_s}});
    app.addContacts(s.friends,
                    {{.linker = u"张伟"_s}, {.linker = u"小'明"_s}, {.linker = u"赵 六"_s}});
    return s;
}

QStringList column(DataSet *ds, const QString &field)
{
    QStringList values;
    if (!ds->isOpen())
        return values;
    const int position = ds->fieldIndex(field);
    for (int row = 0; row < ds->recordCount(); ++row)
        values << ds->text(row, position);
    return values;
}

QStringList listed(TfrmLinker &w)
{
    return column(w.dsLinkerExd, u"Linker"_s);
}

QString caption(TfrmLinker &w)
{
    return child<QGroupBox>(&w, "GroupBox10")->title();
}

} // namespace

void TestMainWindow::startListsFirstCategory()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    QCOMPARE(w.windowTitle(), u"Quillo通讯录软件"_s);
    QCOMPARE(column(w.dsLinkClass, u"TitleName"_s), QStringList({u"客户"_s, u"朋友"_s, u"同事"_s}));
    QCOMPARE(listed(w), QStringList({u"O'Brien"_s, u"李四"_s, u"张三"_s}));
    QCOMPARE(caption(w), u"选定分类[客户]联系人列举"_s);
    auto *tabs = child<QTabWidget>(&w, "PageControl1");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), u"联系人管理"_s);
    QCOMPARE(tabs->tabText(1), u"数据维护"_s);

    // Another category is listed when the user selects it in the grid.
    auto *grid = child<QTableView>(&w, "DBGridEh8");
    grid->selectionModel()->setCurrentIndex(grid->model()->index(1, 1),
                                            QItemSelectionModel::ClearAndSelect);
    QCOMPARE(listed(w), QStringList({u"小'明"_s, u"张伟"_s, u"赵 六"_s}));
    QCOMPARE(caption(w), u"选定分类[朋友]联系人列举"_s);
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::readErrorWithMissingDatabase()
{
    WindowFixture f;
    QVERIFY(QFile::remove(f.app.dbPath()));
    f.connect();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({u"请确认您的程序是否安装正确，或者没有安装MDAC数据访问组件！"_s}));
    TfrmLinker w;
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"读取联系人分类信息发生错误！"_s}));
    QVERIFY(!w.dsLinkClass->isOpen());
    QVERIFY(!w.dsLinkerExd->isOpen());
    QCOMPARE(caption(w), u"选定分类联系人列举"_s);
    QCOMPARE(child<QTableView>(&w, "DBGridEh7")->model()->rowCount(), 0);

    w.Button14Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"请首先增加一个联系人分类！"_s}));
    w.Button13Click();
    w.Button16Click();
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::emptyCategoryTable()
{
    WindowFixture f;
    f.connect();
    TfrmLinker w;
    QVERIFY(w.dsLinkClass->isOpen());
    QCOMPARE(caption(w), u"选定分类联系人列举"_s);

    child<QCheckBox>(&w, "chkAll")->click();
    child<QPushButton>(&w, "cmdQuery")->click();
    QTest::keyClick(child<QLineEdit>(&w, "EditName"), Qt::Key_Return);
    QVERIFY(!w.dsLinkerExd->isOpen());
    QCOMPARE(caption(w), u"选定分类联系人列举"_s);

    w.Button12Click();
    w.Button13Click();
    w.Button16Click();
    w.Button7Click();
    QVERIFY(f.dialogs.nothingShown());
    w.Button14Click();
    w.Button15Click();
    w.Button6Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({u"请首先增加一个联系人分类！"_s, u"没有可用于修改的联系人！"_s,
                          u"没有指定联系人（单个发送需要指定，群发则不需要）！"_s}));
}

void TestMainWindow::addCategory()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;

    f.dialogs.answerInput(u" 供应商 "_s);
    w.Button11Click();
    const auto shown = f.dialogs.take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].caption, u"请输入新的联系人分类"_s);
    QCOMPARE(shown[0].text, u"请输入新的联系人分类："_s);
    QCOMPARE(shown[0].defaultText, QString());

    // Stored as typed, current, at the end of the list, with an empty contact list.
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass where TitleName=' 供应商 '"_s),
             u"1"_s);
    QCOMPARE(column(w.dsLinkClass, u"TitleName"_s),
             QStringList({u"客户"_s, u"朋友"_s, u"同事"_s, u" 供应商 "_s}));
    QCOMPARE(w.dsLinkClass->recNo(), 3);
    QVERIFY(!w.dsLinkClass->asString(u"ID"_s).isEmpty());
    QVERIFY(w.dsLinkerExd->isOpen());
    QCOMPARE(listed(w), QStringList());
    QCOMPARE(caption(w), u"选定分类[ 供应商 ]联系人列举"_s);

    // An empty answer or a cancelled box adds nothing.
    f.dialogs.answerInput(QString());
    w.Button11Click();
    f.dialogs.cancelInput();
    w.Button11Click();
    QCOMPARE(f.dialogs.take().size(), 2);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"4"_s);
    QCOMPARE(w.dsLinkClass->recordCount(), 4);
}

void TestMainWindow::addCategoryFailureLeavesNoRow()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    const QStringList before = listed(w);

    // Longer than the column holds: the engine refuses it.
    f.dialogs.answerInput(QString(51, u'类'));
    w.Button11Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({u"请输入新的联系人分类："_s, u"更新数据发生错误！"_s}));
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"3"_s);
    QCOMPARE(column(w.dsLinkClass, u"TitleName"_s), QStringList({u"客户"_s, u"朋友"_s, u"同事"_s}));
    QCOMPARE(child<QTableView>(&w, "DBGridEh8")->model()->rowCount(), 3);
    QCOMPARE(listed(w), before);

    // The list still works afterwards.
    f.dialogs.answerInput(u"新分类"_s);
    w.Button11Click();
    f.dialogs.take();
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"4"_s);
    QCOMPARE(w.dsLinkClass->recordCount(), 4);
}

void TestMainWindow::renameCategory()
{
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.connect();
    TfrmLinker w;

    f.dialogs.answerInput(u"大客户"_s);
    w.Button12Click();
    const auto shown = f.dialogs.take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].caption, u"请输入新的联系人分类"_s);
    QCOMPARE(shown[0].defaultText, u"客户"_s);
    QCOMPARE(f.app.queryValue(u"Select TitleName from TLinkerClass where ID=%1"_s.arg(s.customers)),
             u"大客户"_s);
    // Keeps its place; the caption is not refreshed; contacts follow by ID.
    QCOMPARE(column(w.dsLinkClass, u"TitleName"_s),
             QStringList({u"大客户"_s, u"朋友"_s, u"同事"_s}));
    QCOMPARE(caption(w), u"选定分类[客户]联系人列举"_s);
    QCOMPARE(listed(w).size(), 3);

    // Cancel gives the default back: the name is written back unchanged.
    f.dialogs.cancelInput();
    w.Button12Click();
    QCOMPARE(f.dialogs.take().size(), 1);
    QCOMPARE(f.app.queryValue(u"Select TitleName from TLinkerClass where ID=%1"_s.arg(s.customers)),
             u"大客户"_s);

    // A refused name: message, and the list shows what is stored.
    f.dialogs.answerInput(QString(51, u'x'));
    w.Button12Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({u"请输入新的联系人分类："_s, u"更新数据发生错误！"_s}));
    QCOMPARE(w.dsLinkClass->asString(u"TitleName"_s), u"大客户"_s);
}

void TestMainWindow::deleteCategory()
{
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.connect();
    TfrmLinker w;

    // Contacts hidden by the search text still block the deletion.
    child<QLineEdit>(&w, "EditName")->setText(u"nobody"_s);
    w.cmdQueryClick();
    QCOMPARE(listed(w), QStringList());
    w.Button13Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"本分类下有联系人信息，不能直接删除！\r"
                                                 u"您可以将下属的联系人删除或变更分类！"_s}));
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"3"_s);

    // The empty category, while chkAll lists other categories' contacts.
    child<QLineEdit>(&w, "EditName")->clear();
    child<QCheckBox>(&w, "chkAll")->click();
    QVERIFY(w.dsLinkClass->locate(s.colleagues));
    QCOMPARE(listed(w).size(), 6);
    f.dialogs.answerNo();
    w.Button13Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"您确认删除选定的联系人分类记录吗？"_s}));
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"3"_s);

    f.dialogs.answerYes();
    w.Button13Click();
    QCOMPARE(f.dialogs.take().size(), 1);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass where ID=%1"_s.arg(s.colleagues)),
             u"0"_s);
    QCOMPARE(column(w.dsLinkClass, u"TitleName"_s), QStringList({u"客户"_s, u"朋友"_s}));

    // Deleting the last remaining category leaves the contact list as it was.
    child<QCheckBox>(&w, "chkAll")->click();
    f.app.exec(u"Delete from TLinker"_s);
    QVERIFY(w.dsLinkClass->locate(s.friends));
    w.dsLinkClass->first();
    f.dialogs.answerYes();
    w.Button13Click();
    f.dialogs.answerYes();
    w.Button13Click();
    QCOMPARE(f.dialogs.take().size(), 2);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinkerClass"_s), u"0"_s);
    QVERIFY(w.dsLinkClass->isEmpty());
}

void TestMainWindow::deleteContact()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    QCOMPARE(listed(w), QStringList({u"O'Brien"_s, u"李四"_s, u"张三"_s}));
    w.dsLinkerExd->moveTo(1);

    f.dialogs.answerNo();
    w.Button16Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"您确认删除选定的联系人记录吗？"_s}));
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker where Linker='李四'"_s), u"1"_s);

    f.dialogs.answerYes();
    w.Button16Click();
    QCOMPARE(f.dialogs.take().size(), 1);
    QCOMPARE(f.app.queryValue(u"Select count(*) from TLinker where Linker='李四'"_s), u"0"_s);
    QCOMPARE(listed(w), QStringList({u"O'Brien"_s, u"张三"_s}));
    QCOMPARE(w.dsLinkerExd->asString(u"Linker"_s), u"张三"_s);
    auto *grid = child<QTableView>(&w, "DBGridEh7");
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->currentIndex().row(), 1);
}

void TestMainWindow::listAllCategories()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    auto *all = child<QCheckBox>(&w, "chkAll");

    all->click();
    QCOMPARE(listed(w),
             QStringList({u"O'Brien"_s, u"李四"_s, u"小'明"_s, u"张三"_s, u"张伟"_s, u"赵 六"_s}));
    QCOMPARE(caption(w), u"联系人列举"_s);
    QCOMPARE(w.dsLinkClass->asString(u"TitleName"_s), u"客户"_s);

    // With a search text: across all categories; typing alone changes nothing.
    child<QLineEdit>(&w, "EditName")->setText(u"张"_s);
    QCOMPARE(listed(w).size(), 6);
    w.cmdQueryClick();
    QCOMPARE(listed(w), QStringList({u"张三"_s, u"张伟"_s}));

    all->click();
    QCOMPARE(listed(w), QStringList({u"张三"_s}));
    QCOMPARE(caption(w), u"选定分类[客户]联系人列举"_s);
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    const QStringList everyone = {u"O'Brien"_s, u"李四"_s, u"小'明"_s,
                                  u"张三"_s,    u"张伟"_s, u"赵 六"_s};
    QTest::newRow("hanzi") << u"张"_s << QStringList({u"张三"_s, u"张伟"_s});
    QTest::newRow("initials upper") << u"ZS"_s << QStringList({u"张三"_s});
    QTest::newRow("initials lower") << u"zs"_s << QStringList({u"张三"_s});
    QTest::newRow("initials inside") << u"w"_s << QStringList({u"张伟"_s});
    QTest::newRow("apostrophe") << u"'"_s << QStringList({u"O'Brien"_s, u"小'明"_s});
    QTest::newRow("apostrophe in name") << u"o'b"_s << QStringList({u"O'Brien"_s});
    QTest::newRow("apostrophe in initials") << u"x'm"_s << QStringList({u"小'明"_s});
    QTest::newRow("percent matches all") << u"%"_s << everyone;
    QTest::newRow("underscore one char") << u"张_"_s << QStringList({u"张三"_s, u"张伟"_s});
    QTest::newRow("trailing blank") << u"赵 "_s << QStringList({u"赵 六"_s});
    QTest::newRow("no match") << u"nobody"_s << QStringList();
}

void TestMainWindow::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    child<QCheckBox>(&w, "chkAll")->click();
    child<QLineEdit>(&w, "EditName")->setText(text);
    child<QPushButton>(&w, "cmdQuery")->click();
    QVERIFY(w.dsLinkerExd->isOpen());
    QCOMPARE(listed(w), names);
    QCOMPARE(child<QTableView>(&w, "DBGridEh7")->model()->rowCount(), names.size());
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::enterInNameSearches()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    auto *edit = child<QLineEdit>(&w, "EditName");
    QTest::keyClicks(edit, u"zs"_s);
    QCOMPARE(listed(w).size(), 3);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(listed(w), QStringList({u"张三"_s}));
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(listed(w).size(), 3);
}

void TestMainWindow::editContactKeepsItCurrent()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    w.dsLinkerExd->moveTo(1); // 李四
    const qint64 id = w.dsLinkerExd->asInteger(u"ID"_s);

    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        QCOMPARE(d->windowTitle(), u"修改/查看联系人资料"_s);
        child<QLineEdit>(d, "EditTele")->setText(u"010-88886666"_s);
        child<QPushButton>(d, "cmdSave")->click();
    });
    w.Button15Click();
    QCOMPARE(f.app.queryValue(u"Select Tele from TLinker where ID=%1"_s.arg(id)),
             u"010-88886666"_s);
    QCOMPARE(w.dsLinkerExd->asInteger(u"ID"_s), id);
    QCOMPARE(w.dsLinkerExd->asString(u"Tele"_s), u"010-88886666"_s);
    QCOMPARE(child<QTableView>(&w, "DBGridEh7")->currentIndex().row(), 1);

    // Renamed out of the search: the first row stays current.
    child<QLineEdit>(&w, "EditName")->setText(u"李"_s);
    w.cmdQueryClick();
    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        child<QLineEdit>(d, "EditName")->setText(u"钱七"_s);
        child<QPushButton>(d, "cmdSave")->click();
    });
    w.Button15Click();
    QVERIFY(w.dsLinkerExd->isEmpty());

    // Cancelled: nothing refreshed, nothing written.
    child<QLineEdit>(&w, "EditName")->clear();
    w.cmdQueryClick();
    const QString before = f.app.queryValue(u"Select Linker from TLinker where ID=%1"_s.arg(id));
    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        child<QLineEdit>(d, "EditName")->setText(u"不存"_s);
        child<QPushButton>(d, "cmdCancel")->click();
    });
    w.Button15Click();
    QCOMPARE(f.app.queryValue(u"Select Linker from TLinker where ID=%1"_s.arg(id)), before);
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::addContactGoesToSelectedCategory()
{
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.connect();
    TfrmLinker w;
    child<QCheckBox>(&w, "chkAll")->click();
    QVERIFY(w.dsLinkClass->locate(s.colleagues));

    whenModal<TfrmEditALinker>([](TfrmEditALinker *d) {
        QCOMPARE(d->windowTitle(), u"新增联系人资料"_s);
        child<QLineEdit>(d, "EditName")->setText(u"阿龙"_s);
        child<QPushButton>(d, "cmdSave")->click();
    });
    w.Button14Click();
    QCOMPARE(f.app.queryValue(u"Select ClassID from TLinker where Linker='阿龙'"_s),
             QString::number(s.colleagues));
    QCOMPARE(listed(w).size(), 7);
    QCOMPARE(w.dsLinkerExd->recNo(), 0);
}

void TestMainWindow::moveContactWithPicker()
{
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.connect();
    TfrmLinker w;
    w.dsLinkerExd->moveTo(2); // 张三
    const qint64 id = w.dsLinkerExd->asInteger(u"ID"_s);

    // Cancelled picker: nothing changes.
    whenModal<TfrmSelecctDepart>(
        [](TfrmSelecctDepart *p) { child<QPushButton>(p, "cmdClose")->click(); });
    w.Button7Click();
    QCOMPARE(listed(w).size(), 3);

    whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *p) {
        auto *grid = child<QTableView>(p, "DBGridEh2");
        grid->setCurrentIndex(grid->model()->index(1, 1)); // 朋友
        child<QPushButton>(p, "cmdSelect")->click();
    });
    w.Button7Click();
    QCOMPARE(f.app.queryValue(u"Select ClassID from TLinker where ID=%1"_s.arg(id)),
             QString::number(s.friends));
    QCOMPARE(listed(w), QStringList({u"O'Brien"_s, u"李四"_s}));
    QVERIFY(f.dialogs.nothingShown());
}

void TestMainWindow::sendSmsChecks()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    w.dsLinkerExd->moveTo(1); // 李四, 12345
    w.Button6Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"号码：12345 不是合法的手机号码！"_s}));
    w.dsLinkerExd->moveTo(0); // O'Brien, no number
    w.Button6Click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"号码： 不是合法的手机号码！"_s}));

    child<QLineEdit>(&w, "EditName")->setText(u"nobody"_s);
    w.cmdQueryClick();
    w.Button6Click();
    QCOMPARE(f.dialogs.takeTexts(),
             QStringList({u"没有指定联系人（单个发送需要指定，群发则不需要）！"_s}));
}

void TestMainWindow::gridColumns()
{
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.app.exec(u"Update TLinker set Birthday='1985-07-09' where Linker='张三'"_s);
    f.connect();
    TfrmLinker w;
    auto *grid = child<QTableView>(&w, "DBGridEh7");
    const QStringList titles = {u"联系人姓名"_s, u"职位"_s,       u"办公电话"_s, u"移动电话"_s,
                                u"家庭电话"_s,   u"传真"_s,       u"QQ号码"_s,   u"阿里帐号"_s,
                                u"淘宝帐号"_s,   u"支付宝帐号"_s, u"电子邮件"_s, u"生日"_s,
                                u"详细地址"_s,   u"个人嗜好"_s};
    const QList<int> widths = {105, 76, 96, 97, 88, 96, 72, 79, 88, 107, 119, 82, 276, 147};
    QStringList shownTitles;
    QList<int> shownWidths;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        shownTitles << grid->model()->headerData(c, Qt::Horizontal).toString();
        shownWidths << grid->columnWidth(c);
    }
    QCOMPARE(shownTitles, titles);
    QCOMPARE(shownWidths, widths);
    QVERIFY(grid->isColumnHidden(0) && grid->isColumnHidden(1));
    QCOMPARE(grid->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

    // Birthday: the stored date in the short date form, unset ones as 1899-12-30.
    const int birthday = 13;
    QCOMPARE(grid->model()->index(2, birthday).data().toString(),
             QLocale::system().toString(QDate(1985, 7, 9), QLocale::ShortFormat));
    QCOMPARE(grid->model()->index(0, birthday).data().toString(),
             QLocale::system().toString(QDate(1899, 12, 30), QLocale::ShortFormat));
    Q_UNUSED(s);
}

void TestMainWindow::findDialog_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column"); // -1 all
    QTest::addColumn<int>("match");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("found");
    // Rows: 0 O'Brien (Job "Sales"), 1 李四 (Job "sales manager"), 2 张三 (Job "经理").
    const int job = 3;
    QTest::newRow("partial all columns down") << u"sales"_s << -1 << 0 << 1 << false << 0 << 1;
    QTest::newRow("partial wraps with All") << u"sales"_s << -1 << 0 << 2 << false << 1 << 0;
    QTest::newRow("down stops at end") << u"sales"_s << -1 << 0 << 1 << false << 1 << -1;
    QTest::newRow("up") << u"sales"_s << job << 0 << 0 << false << 2 << 1;
    QTest::newRow("whole word") << u"sales"_s << job << 1 << 2 << false << 0 << 0;
    QTest::newRow("whole word no partial") << u"manager"_s << job << 1 << 2 << false << 0 << -1;
    QTest::newRow("start of text") << u"sal"_s << job << 2 << 1 << false << 0 << 1;
    QTest::newRow("match case") << u"sales"_s << job << 0 << 2 << true << 1 << 1;
    QTest::newRow("hanzi") << u"经"_s << -1 << 0 << 2 << false << 0 << 2;
    QTest::newRow("other column only") << u"sales"_s << 2 << 0 << 2 << false << 0 << -1;
}

void TestMainWindow::findDialog()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    QFETCH(int, match);
    QFETCH(int, direction);
    QFETCH(bool, caseSensitive);
    QFETCH(int, from);
    QFETCH(int, found);
    WindowFixture f;
    const Seeded s = seed(f.app);
    f.app.exec(u"Update TLinker set Job='Sales' where Linker='O''Brien'"_s);
    f.app.exec(u"Update TLinker set Job='sales manager' where Linker='李四'"_s);
    f.app.exec(u"Update TLinker set Job='经理' where Linker='张三'"_s);
    f.connect();
    TfrmLinker w;
    Q_UNUSED(s);

    FindOptions o;
    o.text = text;
    o.column = column;
    o.match = FindOptions::Match(match);
    o.direction = FindOptions::Direction(direction);
    o.caseSensitive = caseSensitive;
    QCOMPARE(findRow(*w.contactModel(), from, o), found);
}

void TestMainWindow::findDialogWindow()
{
    WindowFixture f;
    seed(f.app);
    f.connect();
    TfrmLinker w;
    w.Button3Click();
    GridFindDialog *find = w.findDialog();
    QVERIFY(find && find->isVisible());
    auto *columns = child<QComboBox>(find, "cmbColumn");
    QCOMPARE(columns->count(), 15);
    QCOMPARE(columns->itemText(1), u"联系人姓名"_s);
    QCOMPARE(child<QComboBox>(find, "cmbDirection")->currentText(), u"All"_s);

    child<QLineEdit>(find, "editText")->setText(u"张"_s);
    child<QPushButton>(find, "cmdFind")->click();
    QCOMPARE(w.dsLinkerExd->asString(u"Linker"_s), u"张三"_s);
    QCOMPARE(w.contactGrid()->currentIndex().row(), 2);

    child<QLineEdit>(find, "editText")->setText(u"nobody"_s);
    child<QPushButton>(find, "cmdFind")->click();
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"没有找到符合条件的记录！"_s}));
    QCOMPARE(w.dsLinkerExd->recNo(), 2);
    child<QPushButton>(find, "cmdCancel")->click();
    QVERIFY(!find->isVisible());
}
