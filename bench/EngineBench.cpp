#include "BitBoard.h"
#include "Greedy.h"
#include "Rules.h"
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

// How many turns the built-in match on the default board lasts.
int matchTurns(const Field& board)
{
    BuiltInMatch match(board);
    int turns = 0;
    while (!match.manager.gameOver())
        match.manager.makeTurn(turns++);
    return turns;
}

// The same match by the straightforward rules: the greedy choice tried
// colour by colour on a copy, the move flooded, the scores counted afresh,
// the board turned for the second seat.
void referenceMatch(benchmark::State& state)
{
    const Field board = defaultBoard();
    const int turns = matchTurns(board);
    for (auto _ : state) {
        Field field = board;
        for (int turn = 0; turn < turns; ++turn) {
            if (turn % 2 == 1)
                rotateField(field);
            int best = 0, bestScore = -1;
            for (const int colour : legalColours(field)) {
                Field tried = field;
                floodFill(tried, colour, -1, 0, 0);
                const int score = computeScore(tried).first;
                if (score > bestScore) {
                    best = colour;
                    bestScore = score;
                }
            }
            if (best != 0)
                floodFill(field, best, -1, 0, 0);
            if (turn % 2 == 1)
                rotateField(field);
            benchmark::DoNotOptimize(computeScore(field));
        }
    }
    state.counters["turns"] = turns;
}
BENCHMARK(referenceMatch)->Unit(benchmark::kMicrosecond);

// The same match on bit planes: the greedy choice and the moves.
void bitBoardMatch(benchmark::State& state)
{
    const Field board = defaultBoard();
    const int turns = matchTurns(board);
    for (auto _ : state) {
        BitBoard field(board);
        for (int turn = 0; turn < turns; ++turn) {
            const int seat = turn % 2;
            const int colour = greedyColour(field, seat);
            if (colour != 0)
                field.play(seat, colour);
            benchmark::DoNotOptimize(field.scores());
        }
    }
    state.counters["turns"] = turns;
}
BENCHMARK(bitBoardMatch)->Unit(benchmark::kMicrosecond);

// One flood step of a whole plane, and the bytes it reads and writes: how
// close a step comes to what memory could move.
void dilationStep(benchmark::State& state)
{
    const BitBoard field(defaultBoard());
    BitPlane plane = field.plane(1);
    for (auto _ : state) {
        plane = dilated(plane);
        plane &= field.plane(1);
        benchmark::DoNotOptimize(plane);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 3 * BitPlane::kWords * 8);
}
BENCHMARK(dilationStep);

// What the machine moves at best for planes of this size: one copied to
// another, the bytes read and written counted as dilationStep counts them.
void planeCopy(benchmark::State& state)
{
    const BitBoard field(defaultBoard());
    BitPlane from = field.plane(1), to;
    for (auto _ : state) {
        benchmark::DoNotOptimize(from);
        to = from;
        benchmark::DoNotOptimize(to);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2 * BitPlane::kWords * 8);
}
BENCHMARK(planeCopy);

} // namespace