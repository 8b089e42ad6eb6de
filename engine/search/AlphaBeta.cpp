#include "AlphaBeta.h"

#include "Greedy.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vorlen {
namespace {

struct Moves {
    std::array<int, kColourCount> colours{};
    int count = 0;
};

// The seat's legal colours, most taken at once first, then the lowest.
Moves orderedMoves(const BitBoard& board, int seat)
{
    const std::array<int, kColourCount> gains = colourGains(board, seat);
    Moves moves;
    for (int colour = 1; colour <= kColourCount; ++colour)
        if (gains[static_cast<std::size_t>(colour - 1)] >= 0)
            moves.colours[static_cast<std::size_t>(moves.count++)] = colour;
    std::stable_sort(moves.colours.begin(), moves.colours.begin() + moves.count, [&](int a, int b) {
        return gains[static_cast<std::size_t>(a - 1)] > gains[static_cast<std::size_t>(b - 1)];
    });
    return moves;
}

class Negamax {
public:
    Negamax(Weighing weighing, std::int64_t budget) : weighing_(weighing), budget_(budget) {}

    int worth(const BitBoard& board, int seat, int depth, int alpha, int beta)
    {
        if (budget_ > 0 && nodes >= budget_) {
            outOfBudget = true;
            return 0; // whatever it is, the root drops this depth's answer
        }
        ++nodes;
        if (const auto decided = decidedWorth(board, seat))
            return *decided;
        if (depth == 0)
            return evaluate(board, seat, weighing_);
        const Moves moves = orderedMoves(board, seat);
        if (moves.count == 0)
            return evaluate(board, seat, weighing_);
        int best = -2 * kDecided;
        for (int i = 0; i < moves.count && !outOfBudget; ++i) {
            BitBoard next = board;
            next.play(seat, moves.colours[static_cast<std::size_t>(i)]);
            best = std::max(best, -worth(next, 1 - seat, depth - 1, -beta, -alpha));
            alpha = std::max(alpha, best);
            if (alpha >= beta)
                break;
        }
        return best;
    }

    std::int64_t nodes = 0;
    bool outOfBudget = false;

private:
    Weighing weighing_;
    std::int64_t budget_;
};

// The whole search at one depth; none when the budget ran out first.
std::optional<SearchAnswer> searchAt(const BitBoard& board, int seat, const Moves& moves, int depth,
                                     Negamax& search)
{
    SearchAnswer answer;
    int alpha = -2 * kDecided;
    const int beta = 2 * kDecided;
    for (int i = 0; i < moves.count; ++i) {
        BitBoard next = board;
        next.play(seat, moves.colours[static_cast<std::size_t>(i)]);
        const int worth = -search.worth(next, 1 - seat, depth - 1, -beta, -alpha);
        if (search.outOfBudget)
            return std::nullopt;
        if (answer.colour == 0 || worth > answer.worth) {
            answer.colour = moves.colours[static_cast<std::size_t>(i)];
            answer.worth = worth;
            alpha = std::max(alpha, worth);
        }
    }
    answer.depth = depth;
    return answer;
}

} // namespace

SearchAnswer searchMove(const BitBoard& board, int seat, SearchDepth limit)
{
    const Moves moves = orderedMoves(board, seat);
    const int deepest = std::max(limit.depth, 1);
    Negamax search(limit.weighing, limit.budget);
    SearchAnswer answer;
    // Without a budget the last depth alone; with one, the depths of the
    // same parity in turn (those end on the same seat's move, and weigh
    // alike), keeping the deepest done.
    for (int depth = limit.budget > 0 ? 2 - deepest % 2 : deepest; depth <= deepest; depth += 2) {
        const std::optional<SearchAnswer> done = searchAt(board, seat, moves, depth, search);
        if (!done)
            break;
        answer = *done;
    }
    if (answer.colour == 0 && moves.count > 0)
        answer = {moves.colours[0], 0, 0, 0}; // a budget too small for one move's look
    answer.nodes = search.nodes + 1;
    return answer;
}

} // namespace vorlen
