// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A worksheet page recorded as a metafile and played back onto a 96-dpi and a
// 600-dpi image, next to the same drawing through QPicture (Qt's own recorder
// and player), in one run. Both recorders are fed by playing the generated
// page, so the decoding of the page is in both figures alike.
//
// Argument 0 is the sheet in plain TW-Kai, 1 in the synthesised faces.
//
//   build/<dir>/bench/bench_metafile --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include "app/startup.h"
#include "platform/metafilerecorder.h"
#include "worksheetpage.h"

#include <QApplication>
#include <QPainter>
#include <QPicture>
#include <benchmark/benchmark.h>

namespace {

const Metafile &page(const benchmark::State &state) { return bench::worksheet(state.range(0) == 0).page; }

Metafile recordMetafile(const Metafile &from)
{
    MetafileRecorder recorder(from.width(), from.height());
    from.play(recorder, {0, 0, from.width(), from.height()});
    return recorder.finish();
}

QPicture recordPicture(const Metafile &from)
{
    QPicture picture;
    QPainter painter(&picture);
    PainterCanvas canvas(&painter, 96, 96, QSize(from.width(), from.height()));
    from.play(canvas, {0, 0, from.width(), from.height()});
    painter.end();
    return picture;
}

void BM_RecordMetafile(benchmark::State &state)
{
    const Metafile &from = page(state);
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = recordMetafile(from).bytes().size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_RecordMetafile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RecordQPicture(benchmark::State &state)
{
    const Metafile &from = page(state);
    qint64 bytes = 0;
    for (auto _ : state)
        bytes = recordPicture(from).size();
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_RecordQPicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Playback: the recorded page onto an A4 image at 96 or 600 dpi.
void BM_PlayMetafile(benchmark::State &state)
{
    const Metafile recorded = recordMetafile(page(state));
    const int dpi = int(state.range(1));
    QImage img = bench::a4Image(dpi);
    bench::playOnto(recorded, img, dpi); // fonts and glyphs once, before timing
    for (auto _ : state)
        bench::playOnto(recorded, img, dpi);
}
BENCHMARK(BM_PlayMetafile)->ArgsProduct({{0, 1}, {96, 600}})->Unit(benchmark::kMillisecond);

void BM_PlayQPicture(benchmark::State &state)
{
    const QPicture picture = recordPicture(page(state));
    const int dpi = int(state.range(1));
    QImage img = bench::a4Image(dpi);
    auto play = [&] {
        img.fill(Qt::white);
        QPainter painter(&img);
        painter.scale(dpi / 96.0, dpi / 96.0);
        painter.drawPicture(0, 0, picture);
    };
    play();
    for (auto _ : state)
        play();
}
BENCHMARK(BM_PlayQPicture)->ArgsProduct({{0, 1}, {96, 600}})->Unit(benchmark::kMillisecond);

} // namespace

#include "enginemain.h"
