#include "common/GbkCodec.h"
#include "common/uPub.h"

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Contact names as an address book holds them: a surname and one or two given-name
// characters, now and then a compound surname, a Latin name or a name with a note.
QStringList makeNames(int count)
{
    const QString surnames =
        u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾萧田董"_s;
    const QStringList compound{u"欧阳"_s, u"司马"_s, u"诸葛"_s, u"上官"_s};
    const QString given =
        u"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华玉萍红娥玲芬燕彬亍"_s;
    const QStringList latin{u"Tom"_s, u"Mary"_s, u"Lee"_s, u"Anna"_s, u"Jack"_s};
    QRandomGenerator rng(20261211);
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int kind = int(rng.bounded(20));
        QString name;
        if (kind == 0) {
            name = latin[rng.bounded(int(latin.size()))] + u' ' +
                   surnames[rng.bounded(int(surnames.size()))];
        } else {
            name = kind == 1 ? compound[rng.bounded(int(compound.size()))]
                             : QString(surnames[rng.bounded(int(surnames.size()))]);
            const int length = 1 + int(rng.bounded(2));
            for (int k = 0; k < length; ++k)
                name += given[rng.bounded(int(given.size()))];
            if (kind == 2)
                name += u"(公司)"_s;
        }
        names << name;
    }
    return names;
}

void BM_GetPYCode(benchmark::State &state)
{
    const QStringList names = makeNames(int(state.range(0)));
    Gbk::codeOf(U'张'); // build the tables outside the timing
    for (auto _ : state) {
        qsizetype total = 0;
        for (const QString &n : names)
            total += GetPYCode(n).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["per_name"] =
        benchmark::Counter(double(names.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetPYCode)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_GetPYCodeBytes(benchmark::State &state)
{
    const QStringList names = makeNames(int(state.range(0)));
    QList<QByteArray> bytes;
    bytes.reserve(names.size());
    for (const QString &n : names)
        bytes << Gbk::encode(n).bytes;
    for (auto _ : state) {
        qsizetype total = 0;
        for (const QByteArray &b : bytes)
            total += GetPYCodeBytes(b).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["per_name"] =
        benchmark::Counter(double(bytes.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                     benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetPYCodeBytes)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// One long text: the time per character must not grow with the length.
void BM_GetPYCodeLongText(benchmark::State &state)
{
    const QString text = makeNames(int(state.range(0)) / 3).join(QString()).left(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(GetPYCode(text));
    state.counters["per_char"] =
        benchmark::Counter(double(text.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                    benchmark::Counter::kInvert);
}
BENCHMARK(BM_GetPYCodeLongText)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
