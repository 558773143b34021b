// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The preview, timed in one run:
//  - Print to page 1 visible: the worksheet's Print opens the preview window,
//    the sheet is generated and its first page painted in the window, next
//    to generating the same sheet and playing its page straight into a
//    QImage of the size the window shows it at. Target: at most 2 times.
//    The same window opened on a blank page, with nothing to generate, is
//    the floor under that figure.
//  - Turning a page in a 1,000-page report: the next page shown and painted
//    in the window. Target: under 50 ms.
//
//   build/test/bench/bench_preview --benchmark_repetitions=5
#include "app/form73.h"
#include "benchrelease.h"
#include "app/startup.h"
#include "platform/canvas.h"
#include "platform/messages.h"
#include "platform/metafile.h"
#include "platform/paintercanvas.h"
#include "preview/rppreview.h"
#include "preview/standardpreview.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The size the window shows the page at, maximised on this screen
// (measured in main before the benchmarks run).
QSize g_shownSize(794, 1123);

Form73 &form()
{
    static Form73 *f = [] {
        auto *w = new Form73;
        w->formActivate();
        w->edit1()->setText(QString::fromUtf8("變"));
        w->edit1Change();
        return w;
    }();
    return *f;
}

RpStandardPreview *openPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<RpStandardPreview *>(w); p && p->isVisible())
            return p;
    return nullptr;
}

// Paints the preview's page now, as the window system would when it shows it.
void paintNow(RpStandardPreview *window)
{
    RpPreviewImage *image = window->preview()->previewImage();
    image->repaint();
}

// Print returns when the preview closes: the first page is watched for
// from a timer inside that loop, painted when it is there, and the window
// closed. The time is taken up to the painted page.
void BM_PrintToFirstPageVisible(benchmark::State &state)
{
    Form73 &f = form();
    QSize shown;
    for (auto _ : state) {
        QElapsedTimer t;
        double seconds = -1;
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            RpStandardPreview *w = openPreview();
            if (!w || !w->preview()->previewImage()->imageOK()) {
                if (t.elapsed() > 30000)
                    poll.stop();
                return;
            }
            paintNow(w);
            seconds = double(t.nsecsElapsed()) / 1e9;
            shown = w->preview()->previewImage()->size();
            poll.stop();
            const QPointer<RpStandardPreview> alive(w);
            while (alive && alive->reportPrinter() && alive->reportPrinter()->status() == mpBusy)
                processMessages();
            if (alive)
                alive->close();
        });
        t.start();
        poll.start();
        f.btnPrintClick();
        if (seconds < 0) {
            state.SkipWithError("the preview showed no page");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["image_w"] = shown.width();
    state.counters["image_h"] = shown.height();
}
BENCHMARK(BM_PrintToFirstPageVisible)->Unit(benchmark::kMillisecond)->UseManualTime();

// What Print to page 1 visible cannot go below: the same window opened on
// a finished blank page, shown and painted whole, with nothing to generate.
void BM_PreviewWindowOnABlankPage(benchmark::State &state)
{
    static std::unique_ptr<RpPrinter> printer = [] {
        auto p = std::make_unique<RpPrinter>();
        p->beginDoc();
        p->newPage();
        p->endDoc();
        bench::releaseAtEnd([] { printer.reset(); });
        return p;
    }();
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        auto *window = new RpStandardPreview(nullptr, printer.get());
        window->setWindowState(Qt::WindowMaximized);
        window->showPreview();
        window->repaint();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        window->close();
        processMessages();
    }
}
BENCHMARK(BM_PreviewWindowOnABlankPage)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_PaintPageIntoQImage(benchmark::State &state)
{
    Form73 &f = form();
    CustomReport *report = f.report(1);
    const QSize size = g_shownSize;
    for (auto _ : state) {
        report->prepare();
        const Metafile page = report->reportPrinter()->getPage(1).value();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        PainterCanvas canvas(&image);
        page.play(canvas, {0, 0, size.width(), size.height()});
        benchmark::DoNotOptimize(image.constBits());
    }
}

// The 1,000 pages: a grid and a line of text each, like a worksheet's.
std::unique_ptr<RpPrinter> thousandPages()
{
    auto p = std::make_unique<RpPrinter>();
    p->beginDoc();
    for (int n = 1; n <= 1000; ++n) {
        p->newPage();
        Canvas *c = p->canvas();
        for (int i = 0; i <= 10; ++i) {
            c->moveTo(p->xPos(100), p->yPos(300 + i * 250));
            c->lineTo(p->xPos(2000), p->yPos(300 + i * 250));
            c->moveTo(p->xPos(100 + i * 190), p->yPos(300));
            c->lineTo(p->xPos(100 + i * 190), p->yPos(2800));
        }
        c->textOut(p->xPos(100), p->yPos(150), QStringLiteral("Page %1 of the long report").arg(n));
    }
    p->endDoc();
    return p;
}

RpPrinter *thousandPagePrinter()
{
    static std::unique_ptr<RpPrinter> printer = [] {
        auto p = thousandPages();
        bench::releaseAtEnd([] { printer.reset(); });
        return p;
    }();
    return printer.get();
}

// The size the preview shows the long report's pages at (measured by the
// page turns).
QSize g_turnedSize(794, 1123);

void BM_PageTurn(benchmark::State &state)
{
    RpPrinter *printer = thousandPagePrinter();
    auto *window = new RpStandardPreview(nullptr, printer);
    window->showPreview();
    processMessages();
    int page = 1;
    for (auto _ : state) {
        page = page % 1000 + 1;
        window->selectPage(page);
        paintNow(window);
        processMessages(); // the thumbnail grid follows
    }
    g_turnedSize = window->preview()->previewImage()->size();
    state.counters["pages"] = printer->pageCount();
    window->close();
    processMessages();
}
BENCHMARK(BM_PageTurn)->Unit(benchmark::kMillisecond);

// The page turn's peer: the next page of the same report taken from the
// page store and played straight into a QImage of the size the preview
// shows it at.
void BM_PaintReportPageIntoQImage(benchmark::State &state)
{
    RpPrinter *printer = thousandPagePrinter();
    int page = 1;
    for (auto _ : state) {
        page = page % 1000 + 1;
        const Metafile m = printer->getPage(page).value();
        QImage image(g_turnedSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        PainterCanvas canvas(&image);
        m.play(canvas, {0, 0, g_turnedSize.width(), g_turnedSize.height()});
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintReportPageIntoQImage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    startup::prepareProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startup::startEngine();
    // The size of the page in the maximised window: measured once, then the
    // straight painting draws at that size.
    {
        QSize &s = g_shownSize;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            RpStandardPreview *w = openPreview();
            if (!w || !w->reportPrinter() || w->reportPrinter()->status() != mpFinished)
                return;
            poll.stop();
            s = w->preview()->previewImage()->size();
            w->close();
        });
        poll.start();
        form().btnPrintClick();
    }
    benchmark::RegisterBenchmark("BM_PaintPageIntoQImage", BM_PaintPageIntoQImage)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::releaseNow();
    return 0;
}
