// One nextStep() of the window off-screen (a turn and its synchronous
// repaint), and 50 ticks of the real 100 ms clock.
#include "main_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
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

void nextStep(benchmark::State& state)
{
    main_window window(QStringList{"vorlen"}, nullptr);
    showExposed(window);
    const QuietStdout quiet;
    for (auto _ : state) {
        window.nextStep();
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
