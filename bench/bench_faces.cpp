// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The layout-1 worksheet ("變" in its eight cells) painted with the
// synthesised stroke-order and tracing faces, next to the same sheet with
// every cell in plain TW-Kai, in one run:
//
//   - Play: the recorded page played onto an image at 96 dpi (screen,
//     thumbnails) and at 300 dpi (a printed page);
//   - Surface: the report's design surface painted as the window paints it;
//   - PrintSheetPdf: the page played into a PDF document at 300 dpi, as a
//     printer's job is made (shapes, not copied images);
//   - FirstPlay: the 300-dpi play when the stroke-order glyphs were not laid
//     out before (the store's cache emptied before every iteration).
//
// Argument 0 is plain TW-Kai, 1 the synthesised faces.
//
//   build/<dir>/bench/bench_faces --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include "app/startup.h"
#include "faces/strokestore.h"
#include "worksheetpage.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

namespace {

const bench::Sheet &sheet(bool plain) { return bench::worksheet(plain); }
void play(const Metafile &page, QImage &img, int dpi) { bench::playOnto(page, img, dpi); }
QImage a4(int dpi) { return bench::a4Image(dpi); }

void BM_PlaySheet96(benchmark::State &state)
{
    const Metafile &page = sheet(state.range(0) == 0).page;
    QImage img = a4(96);
    play(page, img, 96); // fonts and glyphs once, before timing
    for (auto _ : state)
        play(page, img, 96);
}
BENCHMARK(BM_PlaySheet96)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PlaySheet300(benchmark::State &state)
{
    const Metafile &page = sheet(state.range(0) == 0).page;
    QImage img = a4(300);
    play(page, img, 300);
    for (auto _ : state)
        play(page, img, 300);
}
BENCHMARK(BM_PlaySheet300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintSurface(benchmark::State &state)
{
    CustomReport *report = sheet(state.range(0) == 0).form->report(1);
    QImage img(report->size(), QImage::Format_RGB32);
    report->render(&img);
    for (auto _ : state)
        report->render(&img);
}
BENCHMARK(BM_PaintSurface)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The page played into a PDF document at 300 dpi, as a printer's job is
// made: the synthesised glyphs go as shapes (with the text unseen under them).
void BM_PrintSheetPdf(benchmark::State &state)
{
    const Metafile &page = sheet(state.range(0) == 0).page;
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        {
            QPdfWriter pdf(&out);
            pdf.setResolution(300);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter(&pdf);
            PainterCanvas canvas(&painter, 300, 300);
            page.play(canvas, {0, 0, 2480, 3508});
        }
        bytes = out.size();
    }
    state.counters["pdf_bytes"] = double(bytes);
}
BENCHMARK(BM_PrintSheetPdf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FirstPlaySheet300(benchmark::State &state)
{
    const Metafile &page = sheet(state.range(0) == 0).page;
    QImage img = a4(300);
    play(page, img, 300);
    for (auto _ : state) {
        state.PauseTiming();
        // A new store generation: the stroke-order glyphs are laid out anew.
        faces::StrokeStore::global().setOverrideFolder(QString());
        state.ResumeTiming();
        play(page, img, 300);
    }
}
BENCHMARK(BM_FirstPlaySheet300)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

#include "enginemain.h"
