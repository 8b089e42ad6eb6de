#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace vorlen;

namespace {

// The board the window shows by default: the first draw of an unseeded rand().
Field defaultBoard()
{
    std::srand(1);
    VorlenManager manager(45, 41, 2, Trace::silent());
    manager.loadMap("");
    return manager.board();
}

struct BuiltInMatch {
    explicit BuiltInMatch(const Field& board) : manager(45, 41, 2, Trace::silent())
    {
        manager.setPlayer(0, &first);
        manager.setPlayer(1, &second);
        manager.setBoard(board);
    }
    VorlenLogicTeam02 first, second;
    VorlenManager manager;
};

void greedyMove(benchmark::State& state)
{
    const Field board = defaultBoard();
    VorlenLogicTeam02 player;
    for (auto _ : state)
        benchmark::DoNotOptimize(player.makeMove(board));
}
BENCHMARK(greedyMove);

void wholeTurn(benchmark::State& state)
{
    const Field board = defaultBoard();
    for (auto _ : state) {
        state.PauseTiming();
        BuiltInMatch match(board);
        state.ResumeTiming();
        match.manager.makeTurn(0);
    }
}
BENCHMARK(wholeTurn);

void wholeMatch(benchmark::State& state)
{
    const Field board = defaultBoard();
    int turns = 0;
    for (auto _ : state) {
        BuiltInMatch match(board);
        turns = 0;
        while (!match.manager.gameOver())
            match.manager.makeTurn(turns++);
    }
    state.counters["turns"] = turns;
}
BENCHMARK(wholeMatch)->Unit(benchmark::kMicrosecond);

} // namespace
