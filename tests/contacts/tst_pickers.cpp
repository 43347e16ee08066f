#include "WindowTests.h"

#include "contacts/uFilterSet.h"
#include "contacts/uSelecctDepart.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

void TestPickers::pickerListsSortedAndChooses()
{
    WindowFixture f;
    f.app.addCategory(u"朋友"_s);
    const qint64 customers = f.app.addCategory(u"客户"_s);
    f.app.addCategory(u"同事"_s);
    f.connect();

    TfrmSelecctDepart p;
    QCOMPARE(p.windowTitle(), u"选择分类"_s);
    QVERIFY(p.ReadyDepart());
    auto *grid = child<QTableView>(&p, "DBGridEh2");
    QCOMPARE(grid->model()->rowCount(), 3);
    QVERIFY(grid->isColumnHidden(0));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), u"分类名称"_s);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), u"客户"_s);
    QCOMPARE(grid->model()->index(2, 1).data().toString(), u"同事"_s);

    // Enter in the grid chooses the current row.
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(!p.Cancelled);
    QCOMPARE(p.SelectedID, int(customers));
    QCOMPARE(p.SelectedName, u"客户"_s);

    // Through the entry routine: a double click chooses, Esc cancels.
    whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *d) {
        auto *g = child<QTableView>(d, "DBGridEh2");
        g->setCurrentIndex(g->model()->index(2, 1));
        emit g->doubleClicked(g->currentIndex());
    });
    int id = 0;
    QString name;
    QVERIFY(SelectDepart(id, name));
    QCOMPARE(name, u"同事"_s);
    whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *d) { QTest::keyClick(d, Qt::Key_Escape); });
    QVERIFY(!SelectDepart(id, name));
    QCOMPARE(id, 0);
    QCOMPARE(name, QString());

    // The category query fails: message, not shown.
    f.app.exec(u"Drop table TLinkerClass"_s);
    id = 5;
    QVERIFY(!SelectDepart(id, name));
    QCOMPARE(id, 5);
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"读取数据发生错误！"_s}));
}

void TestPickers::pickerEmptyTable()
{
    WindowFixture f;
    f.connect();
    TfrmSelecctDepart p;
    QVERIFY(p.ReadyDepart());
    p.cmdSelectClick();
    p.DBGridEh2KeyDown(Qt::Key_Return);
    QVERIFY(p.Cancelled);
    QCOMPARE(p.SelectedID, 0);
}

void TestPickers::filterDialogFragments()
{
    WindowFixture f;
    f.app.addCategory(u"朋友"_s);
    const qint64 customers = f.app.addCategory(u"客户"_s);
    f.connect();

    QString fragment = u"x"_s;
    // Both fields empty: true with an empty fragment.
    whenModal<TfrmFilterset>([](TfrmFilterset *d) { child<QPushButton>(d, "Button1")->click(); });
    QVERIFY(SelectFilter(fragment));
    QCOMPARE(fragment, QString());

    // A category chosen through the picker, and a name.
    whenModal<TfrmFilterset>([](TfrmFilterset *d) {
        QCOMPARE(d->windowTitle(), u"选择过滤条件"_s);
        whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *p) {
            child<QPushButton>(p, "cmdSelect")->click(); // first row: 客户
        });
        child<QToolButton>(d, "SpeedButton6")->click();
        QCOMPARE(child<QLineEdit>(d, "EditToGoods")->text(), u"客户"_s);
        child<QLineEdit>(d, "EditName")->setText(u"张"_s);
        child<QPushButton>(d, "Button1")->click();
    });
    QVERIFY(SelectFilter(fragment));
    QCOMPARE(fragment, u" and ClassID=%1 And ((Linker Like '%张%') Or (PYCode like '%张%'))"_s.arg(
                           customers));

    // Cancelled: false, empty fragment.
    whenModal<TfrmFilterset>([](TfrmFilterset *d) {
        child<QLineEdit>(d, "EditName")->setText(u"张"_s);
        child<QPushButton>(d, "Button2")->click();
    });
    QVERIFY(!SelectFilter(fragment));
    QCOMPARE(fragment, QString());
}

void TestPickers::filterKeepsCategoryWhenPickerCancelled()
{
    WindowFixture f;
    f.app.addCategory(u"朋友"_s);
    f.app.addCategory(u"客户"_s);
    f.connect();

    TfrmFilterset d;
    QCOMPARE(d.ClassID, -1);
    whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *p) {
        auto *g = child<QTableView>(p, "DBGridEh2");
        g->setCurrentIndex(g->model()->index(1, 1)); // 朋友
        p->cmdSelectClick();
    });
    d.SpeedButton6Click();
    const int chosen = d.ClassID;
    QVERIFY(chosen > 0);
    whenModal<TfrmSelecctDepart>([](TfrmSelecctDepart *p) { p->cmdCloseClick(); });
    QTest::mouseDClick(child<QLineEdit>(&d, "EditToGoods"), Qt::LeftButton);
    QCOMPARE(d.ClassID, chosen);
    QCOMPARE(child<QLineEdit>(&d, "EditToGoods")->text(), u"朋友"_s);
    d.Button1Click();
    QVERIFY(!d.Cancelled);
    QCOMPARE(d.FilterText, u" and ClassID=%1"_s.arg(chosen));
}
