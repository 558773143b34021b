// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main function of a benchmark program that draws with the engine: an
// offscreen QApplication with the engine started, then the benchmarks. A
// program includes this once, after its benchmarks. What the benchmarks
// keep between runs (widgets, data sets) is released through
// bench::releaseAtEnd before the application goes, not by static
// destructors after it.
#include "app/startup.h"
#include "benchrelease.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    startup::prepareProcess();
    QApplication app(argc, argv);
    startup::startEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::releaseNow();
    return 0;
}
