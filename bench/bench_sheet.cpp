// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// tovrel-sheet as a whole process: 100 words to a report file, next to one
// word (what the process costs before its first sheet), and the same to a PDF
// document, in one run. The words are 1 to 4 common characters, picked by a
// fixed sequence. Arguments: the number of words; 0 for a report file, 1 for
// a PDF document. Then the whole character set: the 5,401 characters of Big5
// level 1, one word each, into one report file and into one PDF document.
// Besides the time: the file's size (and its size a page) and the process's
// peak resident memory.
//
//   build/<dir>/bench/bench_sheet --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include "../tools/facecheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <vector>

extern char **environ;

namespace {

const QString kSheet = QStringLiteral(TOVREL_BINARY_DIR "/sheet/tovrel-sheet");

struct Run {
    bool ok = false;
    long peakKB = 0; // the process's highest resident memory
    QByteArray errors;
};

// Runs tovrel-sheet with `args` and waits for it; its output goes nowhere,
// its error stream is kept.
Run runSheet(const QStringList &args, const QString &errorFile)
{
    std::vector<QByteArray> bytes{QFile::encodeName(kSheet)};
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QByteArray err = QFile::encodeName(errorFile);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Run r;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        r.errors = "cannot start " + bytes[0];
        return r;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return r;
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    r.peakKB = usage.ru_maxrss;
    QFile f(errorFile);
    if (f.open(QIODevice::ReadOnly))
        r.errors = f.readAll();
    return r;
}

// Runs tovrel-sheet over the words file `list` into `out` once an iteration;
// the counters: the sheets, the file's bytes, its bytes a page and the
// highest peak resident memory of the runs.
void measureSheets(benchmark::State &state, const QString &list, const QString &out, int sheets)
{
    const QString errors = out + QStringLiteral(".err");
    long peakKB = 0;
    for (auto _ : state) {
        const Run r = runSheet({"--words", list, "-o", out}, errors);
        if (!r.ok) {
            state.SkipWithError(("tovrel-sheet failed: " + r.errors).constData());
            return;
        }
        peakKB = std::max(peakKB, r.peakKB);
    }
    const double bytes = double(QFile(out).size());
    state.counters["sheets"] = sheets;
    state.counters["bytes"] = bytes;
    state.counters["bytes_per_page"] = bytes / sheets;
    state.counters["peak_RSS_MB"] = double(peakKB) / 1024;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

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
    if (!writeFile(list, wordsFile(words))) {
        state.SkipWithError("cannot write the words file");
        return;
    }
    measureSheets(state, list, dir.filePath(state.range(1) ? "out.pdf" : "out.trp"), words);
}
BENCHMARK(BM_SheetProcess)->ArgsProduct({{1, 100}, {0, 1}})->Unit(benchmark::kMillisecond)->UseRealTime();

// Every Big5 level-1 character on a sheet of its own: 0 into a report file,
// 1 into a PDF document.
void BM_SheetBig5Level1(benchmark::State &state)
{
    const std::vector<char32_t> all = facecheck::big5Level1();
    if (all.size() != 5401) {
        state.SkipWithError("the Big5 table does not give 5,401 level-1 characters");
        return;
    }
    QString words;
    for (char32_t c : all)
        words += QString::fromUcs4(&c, 1) + u'\n';
    QTemporaryDir dir;
    const QString list = dir.filePath("big5.txt");
    if (!writeFile(list, words.toUtf8())) {
        state.SkipWithError("cannot write the words file");
        return;
    }
    measureSheets(state, list, dir.filePath(state.range(0) ? "big5.pdf" : "big5.trp"), int(all.size()));
}
// Minutes a run: once, whatever repetitions the others get.
BENCHMARK(BM_SheetBig5Level1)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
