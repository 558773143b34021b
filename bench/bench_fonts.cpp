// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The hot path of label printing: resolving a logical font and measuring and
// drawing text with it, at the reference 96 dpi and on a 600 dpi page.
#include "platform/fonts.h"
#include "platform/paintercanvas.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

gdi::LogFont worksheetFont(qint32 height)
{
    gdi::LogFont f;
    f.faceName = QStringLiteral("華康標楷虛線體");
    f.height = height;
    f.charSet = gdi::CHINESEBIG5_CHARSET;
    return f;
}

// A font that was resolved before: what every later label pays.
void BM_ResolveCached(benchmark::State &state)
{
    const gdi::LogFont f = worksheetFont(-213);
    fonts::resolve(f);
    for (auto _ : state)
        benchmark::DoNotOptimize(fonts::resolve(f));
}
BENCHMARK(BM_ResolveCached);

// The first use of a size: metrics read from the face's tables.
void BM_ResolveNewSize(benchmark::State &state)
{
    qint32 h = -10;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fonts::resolve(worksheetFont(h)));
        h = h <= -400 ? -10 : h - 1; // the cache holds them all after one round
    }
}
BENCHMARK(BM_ResolveNewSize);

// A canvas measuring a label caption (the font already selected).
void BM_TextExtent(benchmark::State &state)
{
    QImage img(8, 8, QImage::Format_RGB32);
    PainterCanvas c(&img);
    c.setFont(worksheetFont(-21));
    const QString caption = QStringLiteral("班別：＿＿＿＿　姓名：＿＿＿＿＿＿");
    for (auto _ : state)
        benchmark::DoNotOptimize(c.textExtent(caption));
}
BENCHMARK(BM_TextExtent);

// Drawing one large worksheet cell character, at 96 dpi and at 600 dpi.
void BM_DrawCell(benchmark::State &state)
{
    const qreal scale = state.range(0) / 96.0;
    QImage img(int(300 * scale), int(300 * scale), QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas c(&img);
    c.setTransform(QTransform::fromScale(scale, scale));
    c.setFont(worksheetFont(-213));
    c.setBkMode(gdi::TRANSPARENT);
    for (auto _ : state)
        c.textOut(10, 10, QStringLiteral("變"));
}
BENCHMARK(BM_DrawCell)->Arg(96)->Arg(600)->Unit(benchmark::kMicrosecond);

// The dotted guide lines of a cell at 600 dpi.
void BM_DottedLines600(benchmark::State &state)
{
    QImage img(2000, 2000, QImage::Format_RGB32);
    img.fill(Qt::white);
    PainterCanvas c(&img);
    c.setTransform(QTransform::fromScale(600.0 / 96.0, 600.0 / 96.0));
    c.setPen({gdi::PS_DOT, 0, gdi::rgb(128, 128, 128)});
    for (auto _ : state) {
        for (int i = 0; i < 300; i += 30) {
            c.moveTo(0, i);
            c.lineTo(300, i);
            c.moveTo(i, 0);
            c.lineTo(i, 300);
        }
    }
}
BENCHMARK(BM_DottedLines600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
