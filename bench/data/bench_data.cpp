// Snapshot cost on 100,000 contacts: DataSet against stepping the same statement with the raw
// SQLCipher interface, snapshot memory against the text it holds, and name searches.

#include "common/uPub.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/uDM.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int contactCount = 100000;
const QString allContacts = u"Select * from TLinker where 1=1  Order by Linker"_s;

QString searchSql(const QString &text)
{
    return u"Select * from TLinker where 1=1  And ((Linker Like '%"_s + text +
           u"%') Or (PYCode like '%"_s + text + u"%')) Order by Linker"_s;
}

const char16_t surnames[] = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾"
                            u"肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾";
const char16_t givens[] = u"伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍鹏辉建国红"
                          u"志文海燕春梅宇浩晨欣怡佳琪子轩雨婷嘉俊博思源立新德胜晓东雪松";
const char16_t *const jobs[] = {u"经理",   u"总经理", u"采购经理", u"销售代表", u"会计",
                                u"工程师", u"主管",   u"",         u"客服",     u"店长"};
const char16_t *const cities[] = {u"北京市海淀区中关村大街", u"上海市浦东新区世纪大道",
                                  u"广州市天河区天河路",     u"深圳市福田区深南大道",
                                  u"杭州市西湖区文三路",     u"成都市武侯区人民南路"};

// A database of realistic contacts in one category, built once.
struct Database
{
    QTemporaryDir dir;
    QString connectionString;

    Database()
    {
        const QString path = dir.filePath(u"ZARI.dat"_s);
        Schema::createDatabaseFile(path);
        connectionString = TDM::connectionStringFor(QString(), path);
        Connection c;
        c.setConnectionString(connectionString);
        c.open();
        sqlite3 *db = c.handle();
        Sql::exec(db, "BEGIN");
        Sql::exec(db, "INSERT INTO TLinkerClass(TitleName) VALUES ('客户')");
        Sql::Statement ins(db, u"INSERT INTO TLinker(ClassID,Linker,PYCode,Job,Tele,MobileCode,"
                               u"HomeTele,Fax,QICQ,WW,ZFBCode,ALWW,EMail,Birthday,Address,Fancy,"
                               u"Desp) VALUES (1,?,?,?,?,?,'','',?,'','','',?,?,?,'','')"_s);
        QRandomGenerator rng(20261211);
        const auto pick = [&](const char16_t *chars, int n) {
            return QChar(chars[rng.bounded(n)]);
        };
        const int ns = int(std::size(surnames)) - 1;
        const int ng = int(std::size(givens)) - 1;
        for (int i = 0; i < contactCount; ++i) {
            QString name = pick(surnames, ns);
            name += pick(givens, ng);
            if (rng.bounded(3) != 0)
                name += pick(givens, ng);
            ins.bindText(1, name);
            ins.bindText(2, GetPYCode(name));
            ins.bindText(3, QString::fromUtf16(jobs[rng.bounded(int(std::size(jobs)))]));
            ins.bindText(4, rng.bounded(2) ? u"010-6%1"_s.arg(rng.bounded(1000000, 9999999))
                                           : QString());
            ins.bindText(5, rng.bounded(5) ? u"13%1"_s.arg(rng.bounded(100000000, 999999999))
                                           : QString());
            ins.bindText(6, rng.bounded(2) ? QString::number(rng.bounded(10000000, 99999999))
                                           : QString());
            ins.bindText(7, rng.bounded(3) ? u"user%1@example.cn"_s.arg(i) : QString());
            ins.bindText(8,
                         QDate(1960, 1, 1).addDays(rng.bounded(15000)).toString(u"yyyy-MM-dd"_s));
            ins.bindText(9, QString::fromUtf16(cities[rng.bounded(int(std::size(cities)))]) +
                                QString::number(rng.bounded(1, 300)) + u"号"_s);
            ins.run();
            sqlite3_reset(ins.get());
        }
        Sql::exec(db, "COMMIT");
    }
};

Database &database()
{
    static Database db;
    return db;
}

void BM_DataSetOpenAndWalk(benchmark::State &state)
{
    Connection c;
    c.setConnectionString(database().connectionString);
    c.open();
    qint64 bytes = 0;
    qint64 textBytes = 0;
    qint64 memory = 0;
    for (auto _ : state) {
        DataSet ds(&c);
        ds.setCommandText(allContacts);
        ds.open();
        const int fields = int(ds.fieldNames().size());
        for (ds.first(); !ds.eof(); ds.next()) {
            for (int f = 0; f < fields; ++f)
                bytes += ds.asString(f).size();
        }
        state.PauseTiming();
        memory = ds.memoryUsed();
        textBytes = 0;
        for (int row = 0; row < ds.recordCount(); ++row) {
            for (int f = 0; f < fields; ++f)
                textBytes += ds.text(row, f).toUtf8().size();
        }
        state.ResumeTiming();
    }
    benchmark::DoNotOptimize(bytes);
    state.counters["rows"] = contactCount;
    state.counters["snapshot_MB"] = double(memory) / 1e6;
    state.counters["text_MB"] = double(textBytes) / 1e6;
    state.counters["memory_per_text"] = double(memory) / double(textBytes);
}

void BM_RawStatementStep(benchmark::State &state)
{
    Connection c;
    c.setConnectionString(database().connectionString);
    c.open();
    qint64 bytes = 0;
    for (auto _ : state) {
        Sql::Statement stmt(c.handle(), allContacts);
        const int fields = sqlite3_column_count(stmt.get());
        while (stmt.step() == SQLITE_ROW) {
            for (int f = 0; f < fields; ++f) {
                const auto text =
                    reinterpret_cast<const char *>(sqlite3_column_text(stmt.get(), f));
                const QString v = QString::fromUtf8(text, sqlite3_column_bytes(stmt.get(), f));
                bytes += v.size();
            }
        }
    }
    benchmark::DoNotOptimize(bytes);
}

void BM_NameSearch(benchmark::State &state, const QString &text)
{
    Connection c;
    c.setConnectionString(database().connectionString);
    c.open();
    int found = 0;
    for (auto _ : state) {
        DataSet ds(&c);
        ds.setCommandText(searchSql(text));
        ds.open();
        found = ds.recordCount();
    }
    state.counters["found"] = found;
}

} // namespace

BENCHMARK(BM_DataSetOpenAndWalk)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_RawStatementStep)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(BM_NameSearch, hanzi, u"张"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NameSearch, initials, u"zs"_s)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    database();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
