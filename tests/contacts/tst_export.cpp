#include "WindowTests.h"

#include "contacts/GridExport.h"
#include "contacts/uMain.h"
#include "data/DataSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QLocale>
#include <QProcess>
#include <QTableView>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

// The workbook as an independent reader sees it: its title property and every row of the
// first sheet, empty cells as null.
struct Readback
{
    QString title;
    QList<QStringList> rows; // null QString for an empty cell
    QStringList types;       // openpyxl data types of the data rows' cells, deduplicated
};

Readback readBack(const QString &path)
{
    const QString script = uR"(
import json, sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = [[c for c in r] for r in ws.iter_rows(values_only=True)]
types = sorted({c.data_type for r in ws.iter_rows(min_row=3) for c in r if c.value is not None})
print(json.dumps({"title": wb.properties.title, "rows": rows, "types": types}))
)"_s;
    QProcess python;
    python.start(QStringLiteral(PYTHON3), {u"-c"_s, script, path});
    Readback r;
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return r;
    }
    const QJsonObject o = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    r.title = o.value(u"title"_s).toString();
    for (const QJsonValue &row : o.value(u"rows"_s).toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << (cell.isNull() ? QString() : cell.toString());
        r.rows << cells;
    }
    for (const QJsonValue &t : o.value(u"types"_s).toArray())
        r.types << t.toString();
    return r;
}

QString shortDate(int y, int m, int d)
{
    return QLocale::system().toString(QDate(y, m, d), QLocale::ShortFormat);
}

const QStringList titles = {u"联系人姓名"_s, u"职位"_s,       u"办公电话"_s, u"移动电话"_s,
                            u"家庭电话"_s,   u"传真"_s,       u"QQ号码"_s,   u"阿里帐号"_s,
                            u"淘宝帐号"_s,   u"支付宝帐号"_s, u"电子邮件"_s, u"生日"_s,
                            u"详细地址"_s,   u"个人嗜好"_s};

void seedExport(TestAppFolder &app)
{
    const qint64 cls = app.addCategory(u"客户"_s);
    app.addContact(cls, {.linker = u"张三"_s,
                         .job = u"经理"_s,
                         .tele = u"010-0001"_s,
                         .mobileCode = u"013800000000"_s,
                         .homeTele = u"0"_s,
                         .fax = u"007"_s,
                         .qicq = u"0123456789"_s,
                         .ww = u"淘宝号"_s,
                         .zfbCode = u"00.50"_s,
                         .alww = u"ali"_s,
                         .email = u"zs@x.cn"_s,
                         .birthday = u"1985-07-09"_s,
                         .address = u"北京市海淀区1号"_s,
                         .fancy = u"书法"_s});
    app.addContact(cls, {.linker = u"李四"_s, .mobileCode = u"1e5"_s});
    const qint64 id = app.addContact(cls, {.linker = u"王五"_s});
    app.exec(u"Update TLinker set Birthday=NULL where ID=%1"_s.arg(id));
}

} // namespace

void TestExport::readBackWithOpenpyxl()
{
    WindowFixture f;
    seedExport(f.app);
    f.connect();
    TfrmLinker w;
    w.Button2Click();
    QVERIFY(f.dialogs.nothingShown());
    QCOMPARE(f.shell.opened.size(), 1);
    const QString path = f.shell.opened.first();
    const QFileInfo info(path);
    QCOMPARE(info.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    QVERIFY(info.fileName().startsWith(u"联系人"_s));
    QCOMPARE(info.suffix(), u"xlsx"_s);

    const Readback r = readBack(path);
    QFile::remove(path);
    QCOMPARE(r.title, u"联系人"_s);
    QCOMPARE(r.rows.size(), 5);
    QCOMPARE(r.rows[0].value(0), u"联系人"_s);
    QCOMPARE(r.rows[0].mid(1), QStringList(13, QString()));
    QCOMPARE(r.rows[1], titles);
    QCOMPARE(r.rows[2], QStringList({u"李四"_s, QString(), QString(), u"1e5"_s, QString(),
                                     QString(), QString(), QString(), QString(), QString(),
                                     QString(), shortDate(1899, 12, 30), QString(), QString()}));
    QCOMPARE(r.rows[3], QStringList({u"王五"_s, QString(), QString(), QString(), QString(),
                                     QString(), QString(), QString(), QString(), QString(),
                                     QString(), QString(), QString(), QString()}));
    QCOMPARE(r.rows[4],
             QStringList({u"张三"_s, u"经理"_s, u"010-0001"_s, u"013800000000"_s, u"0"_s, u"007"_s,
                          u"0123456789"_s, u"ali"_s, u"淘宝号"_s, u"00.50"_s, u"zs@x.cn"_s,
                          shortDate(1985, 7, 9), u"北京市海淀区1号"_s, u"书法"_s}));
    QCOMPARE(r.types, QStringList({u"s"_s}));
    // The records were walked: the last one is current.
    QCOMPARE(w.dsLinkerExd->recNo(), 2);
}

void TestExport::columnsFollowTheGrid()
{
    WindowFixture f;
    seedExport(f.app);
    f.connect();
    TfrmLinker w;
    QTableView *grid = w.contactGrid();
    grid->setColumnHidden(3, true);              // 职位, between visible columns
    grid->horizontalHeader()->moveSection(5, 0); // 移动电话 first
    const QString path = QDir::tempPath() + u"/quillo-columns.xlsx"_s;
    QVERIFY(GridExport::writeWorkbook(u"导出"_s, grid, path));
    const Readback r = readBack(path);
    QFile::remove(path);
    QCOMPARE(r.title, u"导出"_s);
    QStringList expected = titles;
    expected.removeAt(1);
    expected.move(expected.indexOf(u"移动电话"_s), 0);
    QCOMPARE(r.rows.value(1), expected);
    QCOMPARE(r.rows.value(4).mid(0, 3), QStringList({u"013800000000"_s, u"张三"_s, u"010-0001"_s}));
}

void TestExport::emptyAndClosedLists()
{
    WindowFixture f;
    seedExport(f.app);
    f.connect();
    TfrmLinker w;
    child<QLineEdit>(&w, "EditName")->setText(u"nobody"_s);
    w.cmdQueryClick();
    w.Button2Click();
    QCOMPARE(f.shell.opened.size(), 1);
    const Readback r = readBack(f.shell.opened.first());
    QFile::remove(f.shell.opened.first());
    QCOMPARE(r.rows.size(), 2);
    QCOMPARE(r.rows[1], titles);

    WindowFixture g;
    QVERIFY(QFile::remove(g.app.dbPath()));
    g.connect();
    TfrmLinker closed;
    g.dialogs.takeTexts();
    closed.Button2Click();
    QCOMPARE(g.dialogs.takeTexts(), QStringList({u"查询过程没有执行，没有数据库可以发送！"_s}));
    QVERIFY(g.shell.opened.isEmpty());
}

void TestExport::failedWriteLeavesNoFile()
{
    WindowFixture f;
    const qint64 cls = f.app.addCategory(u"客户"_s);
    QList<TestAppFolder::Contact> many;
    for (int i = 0; i < 3000; ++i)
        many.append({.linker = u"联系人%1"_s.arg(i), .address = QString(40, u'址')});
    f.app.addContacts(cls, many);
    f.connect();
    TfrmLinker w;
    QCOMPARE(w.dsLinkerExd->recordCount(), 3000);

    // Files may grow to 64 KiB only: the workbook breaks off part-way.
    const QString path = QDir::tempPath() + u"/quillo-broken.xlsx"_s;
    QString error;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool written = GridExport::writeWorkbook(u"联系人"_s, w.contactGrid(), path, &error);
    w.Button2Click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(f.dialogs.takeTexts(), QStringList({u"导出Excel文件发生错误，文件没有生成！"_s}));
    QVERIFY(f.shell.opened.isEmpty());
    const QStringList left = QDir(QDir::tempPath()).entryList({u"联系人*.xlsx"_s}, QDir::Files);
    for (const QString &name : left)
        QVERIFY2(QFileInfo(QDir::tempPath() + u'/' + name)
                         .lastModified()
                         .secsTo(QDateTime::currentDateTime()) > 60,
                 qPrintable(name));
}
