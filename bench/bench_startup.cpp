// SPDX-FileCopyrightText: 2026 The Tovrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time of the worksheet program to its first painted window, next
// to a bare Qt window with the same widgets (labels, edit box, button, tab
// control with four empty pages) and no report engine. Each iteration starts
// a fresh process, so fonts, resources and libraries load as on a real start.
//
//   build/<dir>/bench/bench_startup --benchmark_repetitions=15
//
// The programs run on the offscreen platform unless BENCH_QPA names another
// (e.g. BENCH_QPA=xcb with DISPLAY set). TOVREL_PROGRAM overrides where the
// worksheet program is looked for (default: ../app/tovrel beside this
// benchmark's folder).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string selfPath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

std::string programPath()
{
    if (const char *p = std::getenv("TOVREL_PROGRAM"))
        return p;
    const auto dir = std::filesystem::path(selfPath()).parent_path();
    return (dir.parent_path() / "app" / "tovrel").string();
}

// Runs `argv` to its end; false when it could not run or failed.
bool runProcess(const std::vector<std::string> &args)
{
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const char *qpa = std::getenv("BENCH_QPA");
        setenv("QT_QPA_PLATFORM", qpa ? qpa : "offscreen", 1);
        setenv("TOVREL_QUIT_AFTER_FIRST_PAINT", "1", 1);
        unsetenv("TOVREL_TEST_STATE_FILE");
        std::vector<char *> cargs;
        for (const auto &a : args)
            cargs.push_back(const_cast<char *>(a.c_str()));
        cargs.push_back(nullptr);
        execv(cargs[0], cargs.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void startProgram(benchmark::State &state, const std::vector<std::string> &args)
{
    for (auto _ : state) {
        if (!runProcess(args)) {
            state.SkipWithError(("could not run " + args[0]).c_str());
            break;
        }
    }
}

void BM_StartupWorksheetWindow(benchmark::State &state)
{
    startProgram(state, {programPath()});
}

void BM_StartupBareQtWindow(benchmark::State &state)
{
    startProgram(state, {selfPath(), "--bare-window"});
}

BENCHMARK(BM_StartupWorksheetWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15);
BENCHMARK(BM_StartupBareQtWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(15);

// The comparison window: the worksheet window's controls at the same
// geometry and in the same fonts, built with plain Qt widgets.
int bareWindow(int argc, char **argv)
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowTitle(QStringLiteral("Tovrel"));
    w.resize(1360, 1125);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    w.setFont(tahoma);
    auto kai = [](int px) {
        QFont f(QStringLiteral("標楷體"));
        f.setPixelSize(px);
        return f;
    };
    auto *l1 = new QLabel(QStringLiteral("註：此程式需配合華康金碟「筆順體」及「虛線體」使用。"), &w);
    l1->setGeometry(8, 1022, 154, 84);
    l1->setFont(kai(21));
    l1->setWordWrap(true);
    (new QLabel(QStringLiteral("Label2"), &w))->setGeometry(672, 568, 31, 13);
    auto *l3 = new QLabel(QStringLiteral("注意：程式最多支持四字詞"), &w);
    l3->setGeometry(8, 22, 384, 32);
    l3->setFont(kai(32));
    auto *e = new QLineEdit(QStringLiteral("變"), &w);
    e->setGeometry(8, 67, 384, 72);
    e->setFont(kai(64));
    (new QPushButton(QStringLiteral("Print"), &w))->setGeometry(214, 291, 75, 25);
    auto *tabs = new QTabWidget(&w);
    tabs->setGeometry(423, 8, 946, 1121);
    for (int i = 1; i <= 4; ++i)
        tabs->addTab(new QWidget, QStringLiteral("Page%1").arg(i));
    struct Watcher : QObject {
        bool seen = false;
        bool eventFilter(QObject *o, QEvent *ev) override
        {
            if (ev->type() == QEvent::Paint && !seen) {
                seen = true;
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
            return QObject::eventFilter(o, ev);
        }
    } watcher;
    w.installEventFilter(&watcher);
    w.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--bare-window") == 0)
        return bareWindow(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
