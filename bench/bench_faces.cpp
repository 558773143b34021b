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
#include "app/form73.h"
#include "app/startup.h"
#include "controls/rplabel.h"
#include "platform/faces/strokestore.h"
#include "platform/faces/synthesis.h"
#include "platform/paintercanvas.h"
#include "platform/units.h"
#include "printer/rpprinter.h"
#include "report/customreport.h"

#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

struct Sheet {
    std::unique_ptr<Form73> form;
    Metafile page;
};

// Layout 1 with "變"; with `plain`, the worksheet faces of every cell are
// replaced by TW-Kai.
Sheet &sheet(bool plain)
{
    static Sheet sheets[2];
    Sheet &s = sheets[plain ? 0 : 1];
    if (s.form)
        return s;
    s.form = std::make_unique<Form73>();
    s.form->formActivate();
    s.form->edit1()->setText(QStringLiteral("變"));
    CustomReport *report = s.form->report(1);
    if (plain)
        for (RpLabel *l : report->findChildren<RpLabel *>())
            if (l->font().name == faces::strokeOrderFamily() || l->font().name == faces::tracingFamily()) {
                RpFont f = l->font();
                f.name = QStringLiteral("TW-Kai");
                l->setFont(f);
            }
    report->prepare();
    s.page = report->reportPrinter()->getPage(1).value();
    return s;
}

void play(const Metafile &page, QImage &img, int dpi)
{
    img.fill(Qt::white);
    PainterCanvas canvas(&img, dpi);
    page.play(canvas, {0, 0, img.width(), img.height()});
}

QImage a4(int dpi)
{
    return QImage(rpRound(units::nativeToDevice(2100, dpi)), rpRound(units::nativeToDevice(2970, dpi)), QImage::Format_RGB32);
}

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

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startup::prepareProcess();
    QApplication app(argc, argv);
    startup::startEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
