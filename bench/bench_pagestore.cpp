// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
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

// The default memory limit spills these pages to a temporary file; a limit
// of 1 GiB keeps them in memory.
RpPageList &store(bool compressed, bool inMemory)
{
    static std::unique_ptr<RpPageList> lists[4];
    auto &l = lists[(compressed ? 1 : 0) + (inMemory ? 2 : 0)];
    if (!l) {
        l = std::make_unique<RpPageList>();
        l->setStream(inMemory ? std::make_unique<RpStream>(qint64(1) << 30) : std::make_unique<RpStream>());
        l->setCompression(compressed);
        for (int i = 1; i <= kPages; ++i)
            l->addPage(page(i));
        l->finish();
    }
    return *l;
}

void run(benchmark::State &state, int order)
{
    RpPageList &l = store(state.range(0) != 0, state.range(1) != 0);
    std::vector<int> seq(kPages);
    for (int i = 0; i < kPages; ++i)
        seq[size_t(i)] = order == 1 ? kPages - i : i + 1;
    if (order == 2)
        std::shuffle(seq.begin(), seq.end(), std::mt19937(5));
    for (auto _ : state) {
        qint64 bytes = 0;
        for (int k : seq)
            bytes += l.getPage(k)->size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * qint64(seq.size()));
    state.counters["spilled"] = l.stream()->inMemory() ? 0 : 1;
}

void BM_GetPageInOrder(benchmark::State &s) { run(s, 0); }
void BM_GetPageBackwards(benchmark::State &s) { run(s, 1); }
void BM_GetPageRandom(benchmark::State &s) { run(s, 2); }

// Arguments: compressed, in memory.
BENCHMARK(BM_GetPageInOrder)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"coded", "mem"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPageBackwards)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"coded", "mem"})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetPageRandom)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"coded", "mem"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
