// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Generating the class list example (with a photo beside most students) at
// about 1,000 pages into the page store
// (which spills to its temporary file), next to drawing the same primitives
// straight into QPictures, one per page, in the same run. Reported: pages
// per second, and the resident memory the run added per page.
//
//   build/test/bench/bench_generation --benchmark_repetitions=5
#include "procstatus.h"
#include "../tests/controls/recordingcanvas.h"
#include "../tests/exampledb.h"
#include "benchrelease.h"
#include "drawops.h"
#include "app/startup.h"
#include "platform/metafile.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"

#include <QApplication>
#include <QPainter>
#include <QPicture>
#include <benchmark/benchmark.h>


namespace {

constexpr int kStudents = 47000; // about 1,000 pages of the example

struct Fixture {
    std::unique_ptr<example::Database> db;
    std::unique_ptr<RpSqlDataSet> data;
    std::unique_ptr<Report> report;
    // The primitives of every page, as generation drew them.
    std::vector<std::vector<DrawOp>> pages;
};

Fixture &fixture()
{
    static Fixture f;
    if (!f.report) {
        bench::releaseAtEnd([] {
            f.report.reset();
            f.data.reset();
            f.db.reset();
        });
        f.db = std::make_unique<example::Database>(kStudents);
        f.data = f.db->dataSet();
        f.report = example::report();
        f.report->setFormDataSets({f.data.get()});
    }
    return f;
}

void BM_GenerateIntoThePageStore(benchmark::State &state)
{
    Fixture &f = fixture();
    const long before = bench::statusKB("VmRSS:");
    const long peakBefore = bench::statusKB("VmHWM:");
    int pages = 0;
    for (auto _ : state) {
        f.report->prepare();
        pages = f.report->reportPrinter()->pageCount();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    // What the run left resident, and how far it raised the peak, per page.
    state.counters["resident_KB_per_page"] = double(bench::statusKB("VmRSS:") - before) / std::max(pages, 1);
    state.counters["peak_rise_KB_per_page"] = double(bench::statusKB("VmHWM:") - peakBefore) / std::max(pages, 1);
    state.counters["spilled"] = f.report->reportPrinter()->pageList()->stream()->inMemory() ? 0 : 1;
}
BENCHMARK(BM_GenerateIntoThePageStore)->Unit(benchmark::kMillisecond)->Iterations(1);

// The peer: the same texts, fills, lines and photos, drawn with QPainter into one
// QPicture per page (kept, as the store keeps its pages).
void BM_SamePrimitivesIntoQPictures(benchmark::State &state)
{
    Fixture &f = fixture();
    if (f.pages.empty()) {
        f.report->prepare();
        f.pages = bench::recordedOps(*f.report->reportPrinter());
    }
    for (auto _ : state) {
        std::vector<QPicture> pictures(f.pages.size());
        for (size_t i = 0; i < f.pages.size(); ++i) {
            QPainter p(&pictures[i]);
            bench::drawOps(p, f.pages[i]);
        }
        benchmark::DoNotOptimize(pictures);
    }
    state.counters["pages"] = double(f.pages.size());
    state.counters["pages_per_s"] =
        benchmark::Counter(double(f.pages.size()) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SamePrimitivesIntoQPictures)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

#include "enginemain.h"
