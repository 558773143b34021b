// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Expression evaluator: preparing once and evaluating per record, as
// generation does for group expressions and expression labels.
#include "expr/environment.h"
#include "expr/evaluator.h"
#include "data/memorytable.h"

#include <benchmark/benchmark.h>

namespace {

RpMemoryTable &table()
{
    static RpMemoryTable *t = [] {
        auto *m = new RpMemoryTable(QStringLiteral("T"));
        m->addField(QStringLiteral("NAME"), RpFieldType::String);
        m->addField(QStringLiteral("QTY"), RpFieldType::Integer);
        m->addField(QStringLiteral("PRICE"), RpFieldType::Currency);
        for (int i = 0; i < 1000; ++i)
            m->appendRecord({QStringLiteral("item %1").arg(i), i % 17, 1.25 * (i % 5)});
        return m;
    }();
    return *t;
}

const char *const kTypical = "IF(QTY * PRICE > 10, UPPER(NAME) + ' ' + STR(QTY * PRICE), 'small')";

void BM_Prepare(benchmark::State &state)
{
    RpEvaluator ev;
    ev.dataSets().append(&table());
    for (auto _ : state) {
        ev.prepare(QString::fromLatin1(kTypical));
        benchmark::DoNotOptimize(ev.fiFo());
    }
}
BENCHMARK(BM_Prepare);

void BM_ValuePerRecord(benchmark::State &state)
{
    RpEvaluator ev;
    ev.dataSets().append(&table());
    ev.prepare(QString::fromLatin1(kTypical));
    RpMemoryTable &t = table();
    t.first();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ev.value());
        t.next();
        if (t.eof())
            t.first();
    }
}
BENCHMARK(BM_ValuePerRecord);

void BM_AggregatePerRecord(benchmark::State &state)
{
    RpEvaluator ev;
    ev.dataSets().append(&table());
    ev.prepare(QStringLiteral("SUM(QTY * PRICE) + COUNT + MAX(NAME)"));
    RpMemoryTable &t = table();
    t.first();
    for (auto _ : state) {
        ev.doAggregate();
        t.next();
        if (t.eof())
            t.first();
    }
}
BENCHMARK(BM_AggregatePerRecord);

// A named report function whose constant generation sets on every page.
void BM_PageNumberConstant(benchmark::State &state)
{
    RpEvEnvironment env;
    env.addFunction(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    env.prepare();
    RpEvaluator ev;
    ev.setEnvironment(&env);
    ev.prepare(QStringLiteral("'Page ' + STR(PAGENUMBER)"));
    int page = 0;
    for (auto _ : state) {
        env.setIntegerConstant(QStringLiteral("PAGENUMBER"), ++page);
        benchmark::DoNotOptimize(ev.value());
    }
    env.unprepare();
}
BENCHMARK(BM_PageNumberConstant);

// A long flat chain: parse and evaluation grow linearly with its length.
void BM_LongChain(benchmark::State &state)
{
    const QString text = QStringList(int(state.range(0)), QStringLiteral("1")).join(QStringLiteral(" - "));
    RpEvaluator ev;
    for (auto _ : state) {
        ev.prepare(text);
        benchmark::DoNotOptimize(ev.value());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongChain)->RangeMultiplier(10)->Range(100, 100000)->Complexity();

} // namespace

BENCHMARK_MAIN();
