// The search players' moves and what they weigh positions by: a move's time
// at each level over the positions of a self-played match, the slowest
// among them, and one territory count.
#include "Boards.h"
#include "SearchLevels.h"
#include "Territory.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace vorlen;

namespace {

// The positions a match of search:3 against itself passes through.
const std::vector<BitBoard>& matchPositions()
{
    static const std::vector<BitBoard> positions = [] {
        std::vector<BitBoard> seen;
        BitBoard board(seededBoard(2026, 0));
        for (int turn = 0; turn < 400; ++turn) {
            seen.push_back(board);
            const int colour = searchMove(board, turn % 2, searchDepthOf(3)).colour;
            if (!board.legal(turn % 2, colour))
                break;
            board.play(turn % 2, colour);
            const ScorePair scores = board.scores();
            if (scores.first + scores.second == kBoardCells)
                break;
        }
        return seen;
    }();
    return positions;
}

// Every position's move at one level: the time a move takes on average,
// and the slowest move (against a tenth of the 3000 ms move time).
void searchLevel(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0));
    const std::vector<BitBoard>& positions = matchPositions();
    double slowest = 0;
    double total = 0;
    std::int64_t nodes = 0;
    for (auto _ : state)
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            const SearchAnswer answer = searchMove(positions[i], static_cast<int>(i % 2), searchDepthOf(level));
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            slowest = std::max(slowest, ms);
            total += ms;
            nodes += answer.nodes;
            benchmark::DoNotOptimize(answer);
        }
    const double moves = static_cast<double>(state.iterations() * static_cast<std::int64_t>(positions.size()));
    state.counters["ms_per_move"] = total / moves;
    state.counters["slowest_ms"] = slowest;
    state.counters["positions_per_move"] = static_cast<double>(nodes) / moves;
    state.counters["tenth_of_move_time_ms"] = 300;
}
BENCHMARK(searchLevel)->DenseRange(1, kSearchSeatLevels)->Unit(benchmark::kMillisecond);

// What each seat reaches first, on a position of the middle game.
void territoryCount(benchmark::State& state)
{
    const std::vector<BitBoard>& positions = matchPositions();
    const BitBoard& middle = positions[positions.size() / 2];
    for (auto _ : state)
        benchmark::DoNotOptimize(territory(middle));
}
BENCHMARK(territoryCount)->Unit(benchmark::kMicrosecond);

} // namespace
