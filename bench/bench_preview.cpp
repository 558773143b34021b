// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The preview, timed in one run next to the preview a user would otherwise
// get, Qt's QPrintPreviewDialog showing the same generated pages (played
// through our player onto the printer it previews), at the same size:
//  - Print to page 1 visible: the worksheet's Print opens the preview window,
//    the sheet is generated and its first page painted in the window; the
//    peer generates the same sheet, opens the dialog on it and paints its
//    first page. Target: at most 1 times, and under 50 ms.
//    The same window opened on a blank page, with nothing to generate, is
//    the floor under that figure.
//  - Turning a page in a 1,000-page report: the next page shown and painted
//    in the window; the peer's next page in the dialog over the same pages.
//    Target: at most 1 times, and under 50 ms.
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

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

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

// The printer Qt's preview dialog previews: A4, the whole sheet, made once
// (it asks the print system for its printers).
QPrinter &qtPrinter()
{
    static QPrinter *printer = [] {
        auto *p = new QPrinter;
        p->setPageSize(QPageSize(QPageSize::A4));
        p->setFullPage(true);
        bench::releaseAtEnd([p] { delete p; });
        return p;
    }();
    return *printer;
}

// Qt's preview of the recorded pages of `pages`: each page played through
// our player onto the printer the dialog hands out, as a program that takes
// Qt's preview would draw them. Shown over the screen, like our maximised
// window, with the whole page in view.
struct QtPreview {
    QPrintPreviewDialog *dialog = nullptr;
    QPrintPreviewWidget *widget = nullptr;
    QGraphicsView *view = nullptr;

    explicit QtPreview(RpPrinter *pages)
    {
        dialog = new QPrintPreviewDialog(&qtPrinter());
        QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, [pages](QPrinter *printer) {
            QPainter painter(printer);
            const int dpi = printer->resolution();
            const int w = printer->width(), h = printer->height();
            for (int n = 1; n <= pages->pageCount(); ++n) {
                if (n > 1)
                    printer->newPage();
                if (const std::optional<Metafile> page = pages->getPage(n)) {
                    PainterCanvas canvas(&painter, dpi, dpi);
                    page->play(canvas, {0, 0, w, h});
                }
            }
        });
        if (QScreen *screen = dialog->screen())
            dialog->setGeometry(screen->availableGeometry());
        dialog->show();
        widget = dialog->findChild<QPrintPreviewWidget *>();
        view = widget ? widget->findChild<QGraphicsView *>() : nullptr;
        if (widget)
            widget->fitInView();
    }
    ~QtPreview()
    {
        dialog->close();
        delete dialog;
        processMessages();
    }
    // Paints the page in view now, as the window system would.
    void paintNow() { view->viewport()->repaint(); }
    // The size the current page is shown at.
    QSize shownSize() const
    {
        QSize biggest;
        for (QGraphicsItem *item : view->items(view->viewport()->rect())) {
            const QSize s = view->mapFromScene(item->sceneBoundingRect()).boundingRect().size();
            if (s.width() * s.height() > biggest.width() * biggest.height())
                biggest = s;
        }
        return biggest;
    }
    // The dialog's own "Next page" command, as its tool button runs it.
    QAction *nextPage() const
    {
        for (QAction *a : dialog->findChildren<QAction *>())
            if (a->text() == QLatin1String("Next page"))
                return a;
        return nullptr;
    }
};

// The peer of Print to page 1 visible: the same sheet generated, Qt's
// preview dialog opened on its pages and its first page painted.
void BM_QtPreviewDialogFirstPage(benchmark::State &state)
{
    Form73 &f = form();
    CustomReport *report = f.report(1);
    QSize shown;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        report->prepare();
        QtPreview qt(report->reportPrinter());
        if (!qt.view) {
            state.SkipWithError("the dialog has no page view");
            return;
        }
        qt.paintNow();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        shown = qt.shownSize();
    }
    state.counters["image_w"] = shown.width();
    state.counters["image_h"] = shown.height();
}
BENCHMARK(BM_QtPreviewDialogFirstPage)->Unit(benchmark::kMillisecond)->UseManualTime();

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
    const QSize shown = window->preview()->previewImage()->size();
    state.counters["image_w"] = shown.width();
    state.counters["image_h"] = shown.height();
    state.counters["pages"] = printer->pageCount();
    window->close();
    processMessages();
}
BENCHMARK(BM_PageTurn)->Unit(benchmark::kMillisecond);

// The page turn's peer: Qt's preview dialog over the same 1,000 pages, its
// "Next page" command and the new page painted.
void BM_QtPreviewDialogPageTurn(benchmark::State &state)
{
    RpPrinter *printer = thousandPagePrinter();
    QtPreview qt(printer);
    QAction *next = qt.nextPage();
    if (!qt.view || !next || qt.widget->pageCount() != printer->pageCount()) {
        state.SkipWithError("the dialog does not show the pages or has no next-page command");
        return;
    }
    processMessages();
    for (auto _ : state) {
        if (qt.widget->currentPage() == qt.widget->pageCount()) {
            state.PauseTiming();
            qt.widget->setCurrentPage(1);
            processMessages();
            state.ResumeTiming();
        }
        next->trigger();
        qt.paintNow();
        processMessages();
    }
    const QSize shown = qt.shownSize();
    state.counters["image_w"] = shown.width();
    state.counters["image_h"] = shown.height();
    state.counters["pages"] = qt.widget->pageCount();
}
BENCHMARK(BM_QtPreviewDialogPageTurn)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    startup::prepareProcess();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startup::startEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::releaseNow();
    return 0;
}
