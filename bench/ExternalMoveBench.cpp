// One external move of a trivial compiled bot, next to a bare posix_spawn +
// waitpid of the same bot: the difference is the referee's own cost.
#include "Field.h"
#include "VorlenLogicTeam01.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

void externalMove(benchmark::State& state)
{
    ScratchDir dir;
    const vorlen::Field board = vorlen::makeField(vorlen::kBoardRows, vorlen::kBoardColumns, 1);
    vorlen::VorlenLogicTeam01::Settings settings;
    settings.trace = vorlen::Trace::silent();
    vorlen::VorlenLogicTeam01 player(VORLEN_TRIVIAL_BOT, settings);
    for (auto _ : state) {
        if (player.makeMove(board) != 2)
            state.SkipWithError("the bot did not answer");
    }
}
BENCHMARK(externalMove)->Unit(benchmark::kMicrosecond)->UseRealTime();

void bareSpawn(benchmark::State& state)
{
    ScratchDir dir;
    char* argv[] = {const_cast<char*>(VORLEN_TRIVIAL_BOT), nullptr};
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
            state.SkipWithError("spawn failed");
        int status = 0;
        waitpid(pid, &status, 0);
    }
}
BENCHMARK(bareSpawn)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
