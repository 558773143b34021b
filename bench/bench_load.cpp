// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A report of 100,000 pages (one detail per page, its records asked for one
// at a time, so no data set holds them): the resident memory of the whole
// process at its peak once the run ends (the page store spills to its
// temporary file), and how long a preview takes to reach the first and the
// last page (read from the store and drawn at 96 pixels per inch).
//
//   build/test/bench/bench_load --benchmark_repetitions=5
//   TOVREL_LOAD_PAGES=20000 build/test/bench/bench_load   (a shorter run)
#include "procstatus.h"
#include "benchrelease.h"
#include "controls/rplabel.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "printer/rppagelist.h"
#include "printer/rpprinter.h"
#include "printer/rpstream.h"
#include "report/customreport.h"
#include "report/rpband.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>
#include <optional>
#include <map>

namespace {

int pagesWanted()
{
    const int n = qEnvironmentVariableIntValue("TOVREL_LOAD_PAGES");
    return n > 0 ? n : 100000;
}

// The report of the last run; the preview benchmarks read its pages.
std::unique_ptr<Report> &report()
{
    static std::unique_ptr<Report> r = [] {
        bench::releaseAtEnd([] { report().reset(); });
        return std::unique_ptr<Report>();
    }();
    return r;
}

// A page header with a title, a detail filling the page with three labels,
// and a page footer.
std::unique_ptr<Report> makeReport(int pages)
{
    auto r = std::make_unique<Report>();
    r->setUnits(RpUnit::Native);
    r->page()->setPaperSize(RpPaperSize::A4); // 2790 between header and footer
    r->bands()->setHasTitle(false);
    const std::pair<RpBandType, double> bands[] = {{rbPageHeader, 100}, {rbDetail, 2700}, {rbPageFooter, 80}};
    for (auto [type, height] : bands) {
        RpBand *b = r->createBand(type);
        b->size()->setUnits(RpUnit::Native);
        b->size()->setHeight(height);
        const int lines = type == rbDetail ? 3 : 1;
        for (int i = 0; i < lines; ++i) {
            auto *l = new RpLabel(b);
            l->setAutoSize(false);
            l->setBounds(20, 10 + 200 * i, 600, 30);
            l->setCaption(QStringLiteral("Practice line %1 of the worksheet").arg(i + 1));
        }
    }
    auto count = std::make_shared<int>(0);
    r->onNeedData = [count, pages](QObject *, bool &more) { more = (*count)++ < pages; };
    r->beforePrintEvent = [count](CustomReport *, bool &) { *count = 0; };
    return r;
}

void BM_HundredThousandPages(benchmark::State &state)
{
    const int want = pagesWanted();
    const long peakBefore = bench::statusKB("VmHWM:");
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        report() = makeReport(want);
        state.ResumeTiming();
        report()->prepare();
        pages = report()->reportPrinter()->pageCount();
    }
    RpStream *s = report()->reportPrinter()->pageList()->stream();
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["store_MB"] = double(s->size()) / 1e6;
    state.counters["spilled"] = s->inMemory() ? 0 : 1;
    state.counters["peak_RSS_MB"] = double(bench::statusKB("VmHWM:")) / 1024.0;
    state.counters["peak_before_MB"] = double(peakBefore) / 1024.0;
    state.counters["RSS_after_MB"] = double(bench::statusKB("VmRSS:")) / 1024.0;
    if (pages != want)
        state.SkipWithError("the run made a different number of pages");
}
// One run is enough and already takes a while: not repeated.
BENCHMARK(BM_HundredThousandPages)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

// What a preview does to show page n: read it from the store and draw it.
// The first showing (page not read before, nothing warm) is a counter of its
// own, first_ms; the iterations after it show the same page again.
void showPage(benchmark::State &state, int n)
{
    if (!report()) {
        state.SkipWithError("run BM_HundredThousandPages first");
        return;
    }
    RpPageList *list = report()->reportPrinter()->pageList();
    const int page = n > 0 ? n : list->pageCount();
    QImage img(794, 1123, QImage::Format_RGB32); // A4 at 96 pixels per inch
    auto show = [&] {
        const std::optional<QByteArray> bytes = list->getPage(page);
        if (!bytes)
            return false;
        const Metafile mf = Metafile::fromBytes(*bytes);
        img.fill(Qt::white);
        PainterCanvas canvas(&img);
        mf.play(canvas, {0, 0, img.width(), img.height()});
        benchmark::DoNotOptimize(img.constBits());
        return true;
    };
    // The library calls a benchmark several times to choose its iterations
    // and reports the last call: the first showing is kept across calls.
    static std::map<int, double> firstMs;
    if (!firstMs.count(page)) {
        QElapsedTimer t;
        t.start();
        if (!show()) {
            state.SkipWithError("the page is not in the store");
            return;
        }
        firstMs[page] = double(t.nsecsElapsed()) / 1e6;
    }
    for (auto _ : state)
        show();
    state.counters["page"] = page;
    state.counters["first_ms"] = firstMs[page];
}
void BM_PreviewFirstPage(benchmark::State &state) { showPage(state, 1); }
void BM_PreviewLastPage(benchmark::State &state) { showPage(state, 0); }
BENCHMARK(BM_PreviewFirstPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewLastPage)->Unit(benchmark::kMillisecond);

} // namespace

#include "enginemain.h"
