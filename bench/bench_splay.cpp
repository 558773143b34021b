// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The splay-tree page coder against zlib level 1 on the same page bytes,
// coded one page at a time as the page store codes them (a fresh tree each).
// Two sets of pages (the benchmark's argument): 0, metafiles of the test
// corpus made by other programs; 1, the four worksheet layouts as generation
// records them (at the screen's 96 dpi).
#include "app/form73.h"
#include "app/startup.h"
#include "printer/rpcompress.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

std::vector<QByteArray> worksheetPages()
{
    std::vector<QByteArray> out;
    Form73 form;
    form.formActivate();
    for (const char *word : {"變", "變壞", "病從口", "病從口入"}) {
        form.edit1()->setText(QString::fromUtf8(word));
        form.edit1Change();
    }
    for (int layout = 1; layout <= 4; ++layout) {
        CustomReport *report = form.report(layout);
        report->prepare();
        out.push_back(report->reportPrinter()->getPage(1)->bytes());
    }
    return out;
}

const std::vector<QByteArray> &corpusPages()
{
    static std::vector<QByteArray> v = [] {
        std::vector<QByteArray> out;
        const QDir dir(QStringLiteral(TOVREL_SOURCE_DIR "/tests/data/emf-corpus/emf"));
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

// Pages of the set; the worksheet pages repeat to about the corpus's size.
const std::vector<QByteArray> &pageSet(int set)
{
    static std::vector<QByteArray> sheets = [] {
        const std::vector<QByteArray> four = worksheetPages();
        std::vector<QByteArray> v;
        qint64 total = 0;
        while (total < 4 * 1024 * 1024)
            for (const QByteArray &p : four) {
                v.push_back(p);
                total += p.size();
            }
        return v;
    }();
    return set == 0 ? corpusPages() : sheets;
}

qint64 totalBytes(const std::vector<QByteArray> &ps)
{
    qint64 t = 0;
    for (const auto &p : ps)
        t += p.size();
    return t;
}

void BM_SplayCompress(benchmark::State &state)
{
    const auto &ps = pageSet(int(state.range(0)));
    qint64 coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (const auto &p : ps)
            coded += RpCompress::compressBytes(p).size();
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes(pageSet(int(state.range(0)))));
    state.counters["ratio"] = double(coded) / double(totalBytes(ps));
}
BENCHMARK(BM_SplayCompress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SplayExpand(benchmark::State &state)
{
    std::vector<std::pair<QByteArray, qint64>> coded;
    for (const auto &p : pageSet(int(state.range(0))))
        coded.emplace_back(RpCompress::compressBytes(p), p.size());
    for (auto _ : state) {
        qint64 n = 0;
        for (const auto &[c, size] : coded)
            n += RpCompress::expandBytes(c, size).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes(pageSet(int(state.range(0)))));
}
BENCHMARK(BM_SplayExpand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// zlib through Qt's wrapper (compress2 at level 1, plus a 4-byte length).
void BM_ZlibLevel1Compress(benchmark::State &state)
{
    const auto &ps = pageSet(int(state.range(0)));
    qint64 coded = 0;
    for (auto _ : state) {
        coded = 0;
        for (const auto &p : ps)
            coded += qCompress(p, 1).size();
        benchmark::DoNotOptimize(coded);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes(pageSet(int(state.range(0)))));
    state.counters["ratio"] = double(coded) / double(totalBytes(ps));
}
BENCHMARK(BM_ZlibLevel1Compress)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ZlibLevel1Expand(benchmark::State &state)
{
    std::vector<QByteArray> coded;
    for (const auto &p : pageSet(int(state.range(0))))
        coded.push_back(qCompress(p, 1));
    for (auto _ : state) {
        qint64 n = 0;
        for (const auto &c : coded)
            n += qUncompress(c).size();
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * totalBytes(pageSet(int(state.range(0)))));
}
BENCHMARK(BM_ZlibLevel1Expand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

#include "enginemain.h"
