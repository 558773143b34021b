// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-sheet as a whole process: 100 words to a report file, next to one
// word (what the process costs before its first sheet), and the same to a PDF
// document, in one run. The words are 1 to 4 common characters, picked by a
// fixed sequence. Arguments: the number of words; 0 for a report file, 1 for
// a PDF document.
//
//   build/<dir>/bench/bench_sheet --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

const QString kSheet = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");

QByteArray wordsFile(int count)
{
    static const QString common = QString::fromUtf8(
        "的一是不了人我在有他這中大來上國個到說們為子和你地出道也時年得就那要下以生會自著去之過家學對可她"
        "裡後小麼心多天而能好都然沒日於起還發成事只作當想看文無開手十用主行方又如前所本見經頭面公同三已老"
        "從動兩長知民樣現分將外但身些與高意進把法此實回二理美點月明其種聲全工己話兒者向情部正名定女問力機"
        "給等幾很業最間新什打便位因重被走電四第門相次東政海口使教西再平真聽世氣信北少關並內加化由卻代軍產");
    quint32 state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u, (state >> 16) & 0x7FFF; };
    QString out;
    for (int i = 0; i < count; ++i) {
        const int length = 1 + int(next() % 4);
        for (int k = 0; k < length; ++k)
            out += common[qsizetype(next() % quint32(common.size()))];
        out += u'\n';
    }
    return out.toUtf8();
}

void BM_SheetProcess(benchmark::State &state)
{
    const int words = int(state.range(0));
    QTemporaryDir dir;
    const QString list = dir.filePath("words.txt");
    const QString out = dir.filePath(state.range(1) ? "out.pdf" : "out.trp");
    {
        QFile f(list);
        if (!f.open(QIODevice::WriteOnly) || f.write(wordsFile(words)) < 0) {
            state.SkipWithError("cannot write the words file");
            return;
        }
    }
    for (auto _ : state) {
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(kSheet, {"--words", list, "-o", out});
        if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            state.SkipWithError(("tovrel-sheet failed: " + p.readAllStandardError()).constData());
            return;
        }
    }
    state.counters["sheets"] = words;
    state.counters["bytes"] = double(QFile(out).size());
}
BENCHMARK(BM_SheetProcess)->ArgsProduct({{1, 100}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
