// One external move of a trivial compiled bot, next to a bare launch of the
// same bot: the difference is the referee's own cost. Plain: posix_spawn +
// waitpid; sandboxed: a move in the seat's box, next to a bare bubblewrap
// launch of the bot with the box's view, and the start of a box itself.
#include "Exchange.h"
#include "Field.h"
#include "Box.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "VorlenLogicTeam01.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <string>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Both benchmarks run in a scratch directory, never in the source tree.
struct ScratchDir {
    ScratchDir()
    {
        char pattern[] = "/tmp/vorlen-bench-XXXXXX";
        path = mkdtemp(pattern);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(path);
    }
    ~ScratchDir()
    {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
    std::filesystem::path path, previous;
};

bool sandboxWorks(benchmark::State& state)
{
    std::string why;
    if (vorlen::probeSandbox(vorlen::findSandbox(), why))
        return true;
    state.SkipWithError(why.c_str());
    return false;
}

void move(benchmark::State& state, bool sandboxed)
{
    ScratchDir dir;
    if (sandboxed && !sandboxWorks(state))
        return;
    const vorlen::Field board = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    vorlen::VorlenLogicTeam01::Settings settings;
    settings.trace = vorlen::Trace::silent();
    if (sandboxed)
        settings.sandbox = vorlen::findSandbox();
    vorlen::VorlenLogicTeam01 player(VORLEN_TRIVIAL_BOT, settings);
    for (auto _ : state) {
        if (player.makeMove(board) != 2)
            state.SkipWithError("the bot did not answer");
    }
}

void spawn(benchmark::State& state, bool sandboxed)
{
    ScratchDir dir;
    if (sandboxed && !sandboxWorks(state))
        return;
    // The bot does its whole work here too: it reads a board and answers.
    const vorlen::Field board = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    std::ofstream(dir.path / "vorla.in") << vorlen::buildInput(board);
    std::vector<std::string> command{VORLEN_TRIVIAL_BOT};
    if (sandboxed) {
        // The box's own view, with the bot in place of the launcher.
        command = vorlen::boxCommand(vorlen::findSandbox(), {vorlen::namedPaths(command), {}, {}}, 64);
        command.resize(command.size() - 2);
        command.push_back(VORLEN_TRIVIAL_BOT);
    }
    std::vector<char*> argv;
    for (std::string& arg : command)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
            state.SkipWithError("spawn failed");
        int status = 0;
        waitpid(pid, &status, 0);
    }
}

// A box started, as every seat's match does once: until it is ready for a
// bot (its end not counted), or started and ended; with its control group,
// or held by limits on each process alone.
void boxStart(benchmark::State& state, bool controlGroups, bool countEnd)
{
    if (!sandboxWorks(state))
        return;
    vorlen::BotGroups groups;
    vorlen::SandboxPlan plan = vorlen::findSandbox();
    plan.controlGroups = controlGroups;
    for (auto _ : state) {
        vorlen::Box box;
        std::string error;
        if (!box.start(plan, {}, {}, groups, error))
            state.SkipWithError(error.c_str());
        if (!countEnd)
            state.PauseTiming();
        box.end();
        if (!countEnd)
            state.ResumeTiming();
    }
}

void boxStart(benchmark::State& state) { boxStart(state, true, false); }
void boxStartAndEnd(benchmark::State& state) { boxStart(state, true, true); }
void boxStartAndEndWithoutControlGroup(benchmark::State& state) { boxStart(state, false, true); }

void externalMove(benchmark::State& state) { move(state, false); }
void bareSpawn(benchmark::State& state) { spawn(state, false); }
void sandboxedMove(benchmark::State& state) { move(state, true); }
void bareBwrap(benchmark::State& state) { spawn(state, true); }
BENCHMARK(externalMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bareSpawn)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(sandboxedMove)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bareBwrap)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(boxStart)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(boxStartAndEnd)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(boxStartAndEndWithoutControlGroup)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
