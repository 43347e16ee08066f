// 100,000 contacts in one category: the main window's queries through the dataset against the
// same statements stepped with the raw SQLCipher API, and the main window's memory with all of
// them listed.
#include "common/uPub.h"
#include "contacts/ContactQueries.h"
#include "contacts/GridExport.h"
#include "contacts/uMain.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Schema.h"
#include "data/uDM.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int contactCount = 100000;

QTemporaryDir *folder = nullptr;

// A kilobyte figure of /proc/self/status ("VmRSS", "VmHWM").
double statusMegabytes(const char *key)
{
    QFile f(u"/proc/self/status"_s);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void fill(sqlite3 *db)
{
    const QString surnames = u"张王李赵刘陈杨黄周吴徐孙胡朱高林何郭马罗"_s;
    const QString given = u"伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰山帅淑松"_s;
    QRandomGenerator rng(20261211);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "INSERT INTO TLinkerClass(TitleName) VALUES('客户')", nullptr, nullptr,
                 nullptr);
    const qint64 classId = sqlite3_last_insert_rowid(db);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TLinker(ClassID,Linker,PYCode,Job,Tele,MobileCode,HomeTele,"
                       "Fax,QICQ,WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,Desp) "
                       "VALUES(?,?,?,'经理','010-88886666',?,'','','123456','tb','','',"
                       "'a@b.cn','1899-12-30','北京市海淀区中关村大街1号','','')",
                       -1, &stmt, nullptr);
    for (int i = 0; i < contactCount; ++i) {
        QString name = surnames.at(rng.bounded(surnames.size()));
        for (int k = 0, n = 1 + rng.bounded(2); k < n; ++k)
            name += given.at(rng.bounded(given.size()));
        const QByteArray linker = name.toUtf8();
        const QByteArray py = GetPYCode(name).toUtf8();
        const QByteArray mobile = QByteArray::number(13000000000LL + rng.bounded(999999999));
        sqlite3_bind_int64(stmt, 1, classId);
        sqlite3_bind_text(stmt, 2, linker.constData(), int(linker.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 3, py.constData(), int(py.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 4, mobile.constData(), int(mobile.size()), SQLITE_TRANSIENT);
        sqlite3_step(stmt);
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void setUp()
{
    folder = new QTemporaryDir;
    QDir(folder->path()).mkpath(u"DB"_s);
    const QString app = folder->path() + u'/';
    Schema::createDatabaseFile(app + u"DB/ZARI.dat"_s);
    DM = new TDM(app);
    fill(DM->ADOLocal->handle());
}

QString listAll()
{
    return ContactSql::contactList(true, u"1"_s, QString());
}

// The statement stepped row by row, every column read as the dataset reads it.
void stepRaw(benchmark::State &state, const QString &sql)
{
    sqlite3 *db = DM->ADOLocal->handle();
    const QByteArray text = sql.toUtf8();
    qint64 rows = 0;
    for (auto _ : state) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr);
        const int columns = sqlite3_column_count(stmt);
        rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < columns; ++c) {
                if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER)
                    benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
                else
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    state.counters["rows"] = double(rows);
}

void openDataSet(benchmark::State &state, const QString &sql)
{
    DataSet ds(DM->ADOLocal);
    ds.setCommandText(sql);
    for (auto _ : state) {
        ds.open();
        benchmark::DoNotOptimize(ds.recordCount());
        state.counters["rows"] = ds.recordCount();
        ds.close();
    }
}

void BM_ListAll_Raw(benchmark::State &state)
{
    stepRaw(state, listAll());
}
void BM_ListAll_DataSet(benchmark::State &state)
{
    openDataSet(state, listAll());
}
void BM_SearchHanzi_Raw(benchmark::State &state)
{
    stepRaw(state, ContactSql::contactList(true, u"1"_s, u"张"_s));
}
void BM_SearchHanzi_DataSet(benchmark::State &state)
{
    openDataSet(state, ContactSql::contactList(true, u"1"_s, u"张"_s));
}
void BM_SearchInitials_Raw(benchmark::State &state)
{
    stepRaw(state, ContactSql::contactList(true, u"1"_s, u"zs"_s));
}
void BM_SearchInitials_DataSet(benchmark::State &state)
{
    openDataSet(state, ContactSql::contactList(true, u"1"_s, u"zs"_s));
}

// The main window listing every contact in its grid, painted once.
void BM_MainWindow_ListAll(benchmark::State &state)
{
    const double before = statusMegabytes("VmRSS:");
    auto w = std::make_unique<TfrmLinker>();
    w->resize(1280, 800);
    w->show();
    QApplication::processEvents();
    for (auto _ : state) {
        w->findChild<QCheckBox *>(u"chkAll"_s)->click(); // lists all
        QApplication::processEvents();
        state.PauseTiming();
        w->findChild<QCheckBox *>(u"chkAll"_s)->click(); // back to the one category
        QApplication::processEvents();
        state.ResumeTiming();
    }
    w->findChild<QCheckBox *>(u"chkAll"_s)->click();
    QApplication::processEvents();
    w->contactGrid()->scrollToBottom();
    QApplication::processEvents();
    state.counters["rows"] = w->dsLinkerExd->recordCount();
    state.counters["rss_MB"] = statusMegabytes("VmRSS:");
    state.counters["window_MB"] = statusMegabytes("VmRSS:") - before;
    state.counters["peak_MB"] = statusMegabytes("VmHWM:");
}

// Resets VmHWM to the current RSS, so the next reading shows the peak from here on.
void resetPeak()
{
    QFile f(u"/proc/self/clear_refs"_s);
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The whole list written to a workbook, as "发送Excel" does.
void BM_Export(benchmark::State &state)
{
    auto w = std::make_unique<TfrmLinker>();
    w->findChild<QCheckBox *>(u"chkAll"_s)->click();
    QApplication::processEvents();
    const QString path = QDir::tempPath() + u"/quillo-bench-export.xlsx"_s;
    const double before = statusMegabytes("VmRSS:");
    resetPeak();
    for (auto _ : state) {
        if (!GridExport::writeWorkbook(u"联系人"_s, w->contactGrid(), path))
            state.SkipWithError("export failed");
    }
    state.counters["rows"] = w->dsLinkerExd->recordCount();
    state.counters["peak_growth_MB"] = statusMegabytes("VmHWM:") - before;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    QFile::remove(path);
}

BENCHMARK(BM_ListAll_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListAll_DataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchHanzi_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchHanzi_DataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchInitials_Raw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchInitials_DataSet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainWindow_ListAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete DM;
    delete folder;
    return 0;
}
