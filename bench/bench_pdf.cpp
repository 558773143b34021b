// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the class list example at about 1,000 pages as a PDF document
// through the PDF document filter (the report runs again into the filter),
// next to QPdfWriter drawing the same texts, fills and lines, page by page,
// in the same run. Reported: the time, pages per second and the size of the
// file each wrote; and the same run into a filter that keeps nothing (the
// report's own part of the filter's time).
//
//   build/test/bench/bench_pdf --benchmark_repetitions=3
#include "../tests/controls/recordingcanvas.h"
#include "../tests/exampledb.h"
#include "benchrelease.h"
#include "drawops.h"
#include "pdf/pdfdocumentfilter.h"
#include "platform/metafile.h"
#include "printer/rpprinter.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kStudents = 47000; // about 1,000 pages of the example

struct Fixture {
    std::unique_ptr<example::Database> db;
    std::unique_ptr<RpSqlDataSet> data;
    std::unique_ptr<Report> report;
    std::vector<std::vector<DrawOp>> pages; // the primitives of every page
    QTemporaryDir dir;
};

Fixture &fixture()
{
    static Fixture f;
    if (!f.report) {
        f.db = std::make_unique<example::Database>(kStudents);
        f.data = f.db->dataSet();
        f.report = example::report();
        f.report->setFormDataSets({f.data.get()});
        f.report->setShowProgress(false);
        bench::releaseAtEnd([] {
            f.pages.clear();
            f.report.reset();
            f.data.reset();
            f.db.reset();
        });
    }
    return f;
}

void BM_ExportThroughThePdfFilter(benchmark::State &state)
{
    Fixture &f = fixture();
    const QString file = f.dir.filePath(QStringLiteral("filter.pdf"));
    int pages = 0;
    for (auto _ : state) {
        RpPDFDocumentFilter pdf(file);
        f.report->exportToFilter(&pdf);
        pages = pdf.pageCount();
        if (!pdf.written())
            state.SkipWithError("the document was not written");
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1024;
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_ExportThroughThePdfFilter)->Unit(benchmark::kMillisecond)->Iterations(1);

// The run itself: the same export into a filter that keeps nothing, so the
// PDF writer's own share is the difference.
void BM_ExportIntoAFilterThatKeepsNothing(benchmark::State &state)
{
    Fixture &f = fixture();
    class Nothing : public RpExportFilter {
    public:
        QString name() const override { return QStringLiteral("nothing"); }
    };
    for (auto _ : state) {
        Nothing filter;
        f.report->exportToFilter(&filter);
    }
}
BENCHMARK(BM_ExportIntoAFilterThatKeepsNothing)->Unit(benchmark::kMillisecond)->Iterations(1);

// The peer: the recorded primitives drawn with QPainter on a QPdfWriter,
// one page each. The pages are recorded (outside the timing) first.
void BM_SamePrimitivesThroughQPdfWriter(benchmark::State &state)
{
    Fixture &f = fixture();
    if (f.pages.empty()) {
        f.report->prepare();
        f.pages = bench::recordedOps(*f.report->reportPrinter());
    }
    const QString file = f.dir.filePath(QStringLiteral("qt.pdf"));
    for (auto _ : state) {
        QPdfWriter writer(file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(96);
        QPainter p(&writer);
        for (size_t i = 0; i < f.pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            bench::drawOps(p, f.pages[i]);
        }
        p.end();
    }
    state.counters["pages"] = double(f.pages.size());
    state.counters["pages_per_s"] =
        benchmark::Counter(double(f.pages.size()) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1024;
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_SamePrimitivesThroughQPdfWriter)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

#include "enginemain.h"
