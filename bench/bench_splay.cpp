// The splay-tree page coder against zlib level 1 on the same page bytes:
// real metafiles from the shared corpus, coded one page at a time.
#include "printer/rpcompress.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

// Pages one at a time, as the page store codes them (a fresh tree each).
std::vector<QByteArray> pages()
{
    static std::vector<QByteArray> v = [] {
        std::vector<QByteArray> out;
        const QDir dir(QStringLiteral(TOVREL_SOURCE_DIR "/../shared/testdata/emf-corpus/emf"));
        qint64 total = 0;
        for (const QString &name : dir.entryList({"*.emf"}, QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                out.push_back(f.readAll());
            total += out.back().size();
            if (total > 4 * 1024 * 1024)
                break;
        }
        return out;
    }();
    return v;
}

qint64 totalBytes()
{
    qint64 t = 0;
    for (const auto &p : pages())
        t += p.size();
    return t;
}

void BM_SplayCompress(benchmark::State &state)
{
    const auto &ps = pages();
    qint64 coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (const auto &p : ps)
            coded += RpCompress::compressBytes(p).size();
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes());
    state.counters["ratio"] = double(coded) / double(totalBytes());
}
BENCHMARK(BM_SplayCompress)->Unit(benchmark::kMillisecond);

void BM_SplayExpand(benchmark::State &state)
{
    std::vector<std::pair<QByteArray, qint64>> coded;
    for (const auto &p : pages())
        coded.emplace_back(RpCompress::compressBytes(p), p.size());
    for (auto _ : state) {
        qint64 n = 0;
        for (const auto &[c, size] : coded)
            n += RpCompress::expandBytes(c, size).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes());
}
BENCHMARK(BM_SplayExpand)->Unit(benchmark::kMillisecond);

// zlib through Qt's wrapper (compress2 at level 1, plus a 4-byte length).
void BM_ZlibLevel1Compress(benchmark::State &state)
{
    const auto &ps = pages();
    qint64 coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (const auto &p : ps)
            coded += qCompress(p, 1).size();
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes());
    state.counters["ratio"] = double(coded) / double(totalBytes());
}
BENCHMARK(BM_ZlibLevel1Compress)->Unit(benchmark::kMillisecond);

void BM_ZlibLevel1Expand(benchmark::State &state)
{
    std::vector<QByteArray> coded;
    for (const auto &p : pages())
        coded.push_back(qCompress(p, 1));
    for (auto _ : state) {
        qint64 n = 0;
        for (const auto &c : coded)
            n += qUncompress(c).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes());
}
BENCHMARK(BM_ZlibLevel1Expand)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
