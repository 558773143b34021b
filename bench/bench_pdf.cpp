// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the class list example at about 1,000 pages as a PDF document
// through the PDF document filter (the report runs again into the filter),
// next to QPdfWriter drawing the same texts, fills and lines, page by page,
// in the same run. Reported: the time, pages per second and the size of the
// file each wrote; and the same run into a filter that keeps nothing (the
// report's own part of the filter's time).
//
// The class list's report file (its recorded pages, saved and loaded back)
// into PDF by the recorded-page writer, next to QPdfWriter drawing the same
// pages through the metafile player.
//
//   build/test/bench/bench_pdf --benchmark_repetitions=3
//
// BENCH_KEEP_FILES=1 keeps the documents written (their folder is printed),
// to look at.
#include "../tests/controls/recordingcanvas.h"
#include "../tests/exampledb.h"
#include "benchrelease.h"
#include "drawops.h"
#include "pdf/pdfdocumentfilter.h"
#include "pdf/recordedpages.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
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
    std::unique_ptr<RpPrinter> reportFile;  // the report's pages, as a report file loads them
    QTemporaryDir dir;
};

Fixture &fixture()
{
    static Fixture f;
    if (!f.report) {
        if (qEnvironmentVariableIntValue("BENCH_KEEP_FILES") == 1) {
            f.dir.setAutoRemove(false);
            std::fprintf(stderr, "bench_pdf: the documents are kept in %s\n", qPrintable(f.dir.path()));
        }
        f.db = std::make_unique<example::Database>(kStudents);
        f.data = f.db->dataSet();
        f.report = example::report();
        f.report->setFormDataSets({f.data.get()});
        f.report->setShowProgress(false);
        bench::releaseAtEnd([] {
            f.reportFile.reset();
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

// The report file, saved once from a run and loaded into a printer of its
// own (outside the timing).
RpPrinter &reportFile(Fixture &f)
{
    if (!f.reportFile) {
        f.report->prepare();
        const QString file = f.dir.filePath(QStringLiteral("classlist.trp"));
        f.report->reportPrinter()->save(file);
        f.reportFile = std::make_unique<RpPrinter>();
        f.reportFile->load(file);
    }
    return *f.reportFile;
}

void BM_ReportFileThroughThePdfWriter(benchmark::State &state)
{
    Fixture &f = fixture();
    RpPrinter &pages = reportFile(f);
    const QString file = f.dir.filePath(QStringLiteral("recorded.pdf"));
    for (auto _ : state)
        writeRecordedPagesPdf(pages, file, 1, pages.pageCount());
    state.counters["pages"] = pages.pageCount();
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1024;
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_ReportFileThroughThePdfWriter)->Unit(benchmark::kMillisecond)->Iterations(1);

// The peer: QPdfWriter, each page of the same report file played onto it by
// the metafile player, at the resolution and on the paper it was recorded
// with.
void BM_ReportFileThroughQPdfWriter(benchmark::State &state)
{
    Fixture &f = fixture();
    RpPrinter &pages = reportFile(f);
    const QString file = f.dir.filePath(QStringLiteral("recorded-qt.pdf"));
    for (auto _ : state) {
        QPdfWriter writer(file);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        std::unique_ptr<QPainter> painter;
        for (int i = 1; i <= pages.pageCount(); ++i) {
            const std::optional<Metafile> page = pages.getPage(i);
            if (!page) {
                state.SkipWithError("a page is missing");
                break;
            }
            const int dpi = int(page->pixelsPerInchX());
            const QPageSize size(QSizeF(page->width() * 72.0 / dpi, page->height() * 72.0 / page->pixelsPerInchY()),
                                 QPageSize::Point);
            if (!painter) {
                writer.setPageSize(size);
                writer.setResolution(dpi);
                painter = std::make_unique<QPainter>(&writer);
            } else {
                writer.setPageSize(size);
                writer.newPage();
            }
            PainterCanvas canvas(painter.get(), dpi, int(page->pixelsPerInchY()), QSize(page->width(), page->height()));
            page->play(canvas, gdi::Rect{0, 0, page->width(), page->height()});
        }
        if (painter)
            painter->end();
    }
    state.counters["pages"] = pages.pageCount();
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1024;
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_ReportFileThroughQPdfWriter)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

#include "enginemain.h"
