// The recipient list at scale: the list check, reading a list file, taking batches.
#include "sms/ListFiles.h"
#include "sms/RecipientList.h"
#include "sms/RecipientModel.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QListView>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// One million entries, every tenth invalid (too short), a few with blanks around them.
std::vector<QString> millionEntries()
{
    std::vector<QString> v;
    v.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) {
        QString n = QString::number(13000000000LL + i);
        if (i % 10 == 3)
            n.chop(1);
        else if (i % 100 == 5)
            n = QLatin1Char(' ') + n + QLatin1Char(' ');
        v.push_back(n);
    }
    return v;
}

void BM_CheckAllMobileCode(benchmark::State &state)
{
    const std::vector<QString> source = millionEntries();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<QString> entries = source;
        state.ResumeTiming();
        QStringList rejected = checkMobileList(entries);
        benchmark::DoNotOptimize(rejected);
        if (rejected.size() != 100000)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_CheckAllMobileCode)->Unit(benchmark::kMillisecond);

void BM_ImportFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ListFiles::writeLines(path, millionEntries());
    for (auto _ : state) {
        std::vector<QString> lines = ListFiles::readLines(path);
        benchmark::DoNotOptimize(lines);
        if (lines.size() != 1000000)
            state.SkipWithError("wrong count");
    }
}
BENCHMARK(BM_ImportFile)->Unit(benchmark::kMillisecond);

void BM_ImportAndCheck(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    ListFiles::writeLines(path, millionEntries());
    for (auto _ : state) {
        std::vector<QString> lines = ListFiles::readLines(path);
        benchmark::DoNotOptimize(checkMobileList(lines));
    }
}
BENCHMARK(BM_ImportAndCheck)->Unit(benchmark::kMillisecond);

void BM_SaveList(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LastMobileCode.Lst"));
    const std::vector<QString> entries = millionEntries();
    for (auto _ : state)
        ListFiles::writeLines(path, entries);
}
BENCHMARK(BM_SaveList)->Unit(benchmark::kMillisecond);

// Taking batches of 80 from the top, as the send loop does, on lists of growing length.
void BM_TakeBatch(benchmark::State &state)
{
    const qsizetype n = state.range(0);
    std::vector<QString> v;
    for (qsizetype i = 0; i < n; ++i)
        v.push_back(QString::number(13000000000LL + i));
    RecipientList list(std::move(v));
    for (auto _ : state) {
        QStringList batch = list.takeFront(80);
        if (list.count() < 80) {
            state.PauseTiming();
            list.putFront(batch); // keep the length about the same
            std::vector<QString> refill(size_t(n), QStringLiteral("13000000000"));
            list.assign(std::move(refill));
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(batch);
    }
}
BENCHMARK(BM_TakeBatch)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// The same through the list model (row removal notifications), failed batch put back.
void BM_ModelTakeAndReturn(benchmark::State &state)
{
    const qsizetype n = state.range(0);
    RecipientModel model;
    model.assign(std::vector<QString>(size_t(n), QStringLiteral("13000000000")));
    for (auto _ : state) {
        QStringList batch = model.takeFront(80);
        model.putFront(batch);
    }
}
BENCHMARK(BM_ModelTakeAndReturn)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

// The list view over the model: a batch taken and the view brought up to date.
void BM_ViewTakeBatch(benchmark::State &state)
{
    const qsizetype n = state.range(0);
    RecipientModel model;
    model.assign(std::vector<QString>(size_t(n), QStringLiteral("13000000000")));
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.resize(300, 400);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QStringList batch = model.takeFront(80);
        QCoreApplication::processEvents(); // relayout and paint
        state.PauseTiming();
        model.putFront(batch);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ViewTakeBatch)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// For comparison: a one-column table view lays out by header sections instead of per item.
void BM_TableViewTakeBatch(benchmark::State &state)
{
    const qsizetype n = state.range(0);
    RecipientModel model;
    model.assign(std::vector<QString>(size_t(n), QStringLiteral("13000000000")));
    QTableView view;
    view.horizontalHeader()->hide();
    view.verticalHeader()->hide();
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(18);
    view.horizontalHeader()->setStretchLastSection(true);
    view.setModel(&model);
    view.resize(300, 400);
    view.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QStringList batch = model.takeFront(80);
        QCoreApplication::processEvents();
        state.PauseTiming();
        model.putFront(batch);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TableViewTakeBatch)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
