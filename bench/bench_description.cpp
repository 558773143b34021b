// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the largest worksheet layout (57 elements) as a stored
// description, against a registry of property-bag classes.
#include "platform/description/description.h"
#include "tests/platform/description_bagregistry.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QByteArray layout4()
{
    QFile f(QStringLiteral(TOVREL_SOURCE_DIR "/app/layouts/rpt4.txt"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void BM_ReadLayout(benchmark::State &state)
{
    const QByteArray text = layout4();
    if (text.isEmpty()) {
        state.SkipWithError("layout file missing");
        return;
    }
    desc::Registry &reg = descbag::bagRegistry();
    for (auto _ : state) {
        std::unique_ptr<descbag::Report> r(desc::readAs<descbag::Report>(reg, text));
        benchmark::DoNotOptimize(r.get());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ReadLayout);

void BM_WriteLayout(benchmark::State &state)
{
    const QByteArray text = layout4();
    if (text.isEmpty()) {
        state.SkipWithError("layout file missing");
        return;
    }
    desc::Registry &reg = descbag::bagRegistry();
    std::unique_ptr<descbag::Report> r(desc::readAs<descbag::Report>(reg, text));
    for (auto _ : state) {
        QByteArray out = desc::write(reg, reg.ref(r.get()));
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_WriteLayout);

} // namespace

BENCHMARK_MAIN();
