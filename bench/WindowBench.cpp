// One step of the window off-screen (a turn on the referee's thread, then
// the board, the panels and the move list brought up to date and the board
// repainted; target: 2 ms), how long an event waits while a bot thinks
// (target: 50 ms), 50 ticks of the real 100 ms clock, and a replay with a
// hostile name opened and shown (target: 1 s and 200 MB; run it alone,
// --benchmark_filter=openHostileReplay, for the peak to be its own).
#include "Boards.h"
#include "ReplayFile.h"
#include "Retirement.h"
#include "VorlenLogicTeam02.h"
#include "VorlenWidget.h"
#include "main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The referee's trace goes to the null device while a benchmark runs.
class QuietStdout {
public:
    QuietStdout() : saved(dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    ~QuietStdout()
    {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }

private:
    int saved;
};

// Shows the window and lets the platform expose it, so that repaints paint.
void showExposed(main_window& window)
{
    window.show();
    for (int i = 0; i < 10; ++i)
        QApplication::processEvents();
}

// Plays one turn and waits until the window has shown it.
void playShown(main_window& window)
{
    window.nextStep();
    while (window.moving())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // What the turn changed is painted.
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

void nextStep(benchmark::State& state)
{
    main_window window(QStringList{"vorlen"}, nullptr);
    showExposed(window);
    const QuietStdout quiet;
    for (auto _ : state) {
        playShown(window);
        // A fresh board every match, so every step measured plays a real turn.
        if (window.match().gameOver()) {
            state.PauseTiming();
            window.~main_window();
            new (&window) main_window(QStringList{"vorlen"}, nullptr);
            showExposed(window);
            state.ResumeTiming();
        }
    }
}
BENCHMARK(nextStep)->Unit(benchmark::kMicrosecond);

// A bot that thinks for a second: while it does, a zero timer is started
// again and again, and the longest wait for it is the window's latency.
void eventLatencyDuringAMove(benchmark::State& state)
{
    const QTemporaryDir dir;
    const QString bot = dir.filePath("thinker.sh");
    QFile script(bot);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nsleep 1; echo 3 > vorla.out\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QuietStdout quiet;
    for (auto _ : state) {
        main_window window(QStringList{"vorlen", "--first", bot}, nullptr);
        showExposed(window);
        window.nextStep();
        qint64 longest = 0;
        int events = 0;
        while (window.moving()) {
            QElapsedTimer waited;
            waited.start();
            bool fired = false;
            QTimer::singleShot(0, [&] { fired = true; });
            while (!fired)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            longest = std::max(longest, waited.nsecsElapsed());
            ++events;
            QThread::msleep(5); // the rest of a user's time between clicks
        }
        state.SetIterationTime(static_cast<double>(longest) / 1e9);
        state.counters["events"] = events;
    }
}
BENCHMARK(eventLatencyDuringAMove)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void fiftyTicks(benchmark::State& state)
{
    const QuietStdout quiet;
    for (auto _ : state) {
        main_window window(QStringList{"vorlen"}, nullptr);
        showExposed(window);
        int ticks = 0;
        QEventLoop loop;
        QObject::connect(window.clock(), &QTimer::timeout, &loop, [&] {
            if (++ticks == 50)
                loop.quit();
        });
        QElapsedTimer elapsed;
        elapsed.start();
        window.Start();
        loop.exec();
        state.SetIterationTime(static_cast<double>(elapsed.nsecsElapsed()) / 1e9);
        state.counters["drift_%"] = (static_cast<double>(elapsed.nsecsElapsed()) / 5e9 - 1.0) * 100.0;
    }
}
BENCHMARK(fiftyTicks)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// A whole match of the built-in players whose first player's name is
// `nameBytes` long: words of one letter, as a command line of millions of
// words would be.
std::string hostileReplay(const QTemporaryDir& dir, std::size_t nameBytes)
{
    vorlen::VorlenLogicTeam02 greedy[2];
    vorlen::VorlenManager manager(vorlen::kBoardColumns, vorlen::kBoardRows, 2, vorlen::Trace::silent());
    manager.setPlayer(0, &greedy[0]);
    manager.setPlayer(1, &greedy[1]);
    vorlen::Replay replay;
    replay.board = vorlen::seededBoard(1, 0);
    manager.setBoard(replay.board);
    std::string name;
    while (name.size() < nameBytes)
        name += "w ";
    replay.players = {name, "<b>second</b>"};
    for (int turn = 0; !manager.gameOver(); ++turn) {
        manager.makeTurn(turn);
        replay.turns.push_back(vorlen::recordTurn(manager, [&](int seat) {
            return vorlen::retirementText(manager.retirement(seat), manager.lastResult(seat));
        }));
    }
    replay.finished = true;
    const std::string path = dir.filePath("hostile.json").toStdString();
    std::string error;
    if (!vorlen::writeReplayFile(path, replay, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return path;
}

void openHostileReplay(benchmark::State& state)
{
    const QTemporaryDir dir;
    const std::string path = hostileReplay(dir, static_cast<std::size_t>(state.range(0)));
    const QuietStdout quiet;
    for (auto _ : state) {
        main_window window(QStringList{"vorlen"}, nullptr);
        std::string error;
        if (!window.openReplay(path, error))
            state.SkipWithError(error.c_str());
        showExposed(window);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(openHostileReplay)->Arg(64 << 10)->Arg(1 << 20)->Arg(15 << 20)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
