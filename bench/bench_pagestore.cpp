// GetPage over a 10,000-page store: read in order, backwards and at random,
// plain and compressed, in memory and spilled to a temporary file.
#include "printer/rppagelist.h"

#include <QtEndian>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

constexpr int kPages = 10000;

// A small, well-formed metafile: header, one comment record, end record.
QByteArray page(int n)
{
    QByteArray text = QByteArray("page ").append(QByteArray::number(n)).repeated(60);
    const int padded = int((text.size() + 3) & ~3);
    QByteArray b(108 + 12 + padded + 20, '\0');
    auto put = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    put(0, 1);
    put(4, 108);
    put(40, 0x464D4520);
    put(44, 0x10000);
    put(48, quint32(b.size()));
    put(52, 3);
    put(108, 70);
    put(112, quint32(12 + padded));
    put(116, quint32(text.size()));
    std::memcpy(b.data() + 120, text.constData(), size_t(text.size()));
    const int eof = 120 + padded;
    put(eof, 14);
    put(eof + 4, 20);
    put(eof + 16, 20);
    return b;
}

RpPageList &store(bool compressed)
{
    static std::unique_ptr<RpPageList> lists[2];
    auto &l = lists[compressed ? 1 : 0];
    if (!l) {
        l = std::make_unique<RpPageList>();
        l->setStream(std::make_unique<RpStream>());
        l->setCompression(compressed);
        for (int i = 1; i <= kPages; ++i)
            l->addPage(page(i));
        l->finish();
    }
    return *l;
}

void run(benchmark::State &state, bool compressed, int order)
{
    RpPageList &l = store(compressed);
    std::vector<int> seq(kPages);
    for (int i = 0; i < kPages; ++i)
        seq[size_t(i)] = order == 1 ? kPages - i : i + 1;
    if (order == 2) {
        // Each random step walks the chained records from the last page read
        // (a third of the store on average), so 1,000 pages make one round.
        std::shuffle(seq.begin(), seq.end(), std::mt19937(5));
        seq.resize(1000);
    }
    for (auto _ : state) {
        qint64 bytes = 0;
        for (int k : seq)
            bytes += l.getPage(k)->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * qint64(seq.size()));
    state.counters["spilled"] = l.stream()->inMemory() ? 0 : 1;
}

void BM_GetPageInOrder(benchmark::State &s) { run(s, s.range(0) != 0, 0); }
void BM_GetPageBackwards(benchmark::State &s) { run(s, s.range(0) != 0, 1); }
void BM_GetPageRandom(benchmark::State &s) { run(s, s.range(0) != 0, 2); }

BENCHMARK(BM_GetPageInOrder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPageBackwards)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPageRandom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
