#include "AlphaBeta.h"

#include <algorithm>
#include <array>

namespace vorlen {
namespace {

struct Moves {
    std::array<int, kColourCount> colours{};
    int count = 0;
};

// The seat's legal colours, most taken at once first, then the lowest.
Moves orderedMoves(const BitBoard& board, int seat)
{
    BitPlane border = dilated(board.region(seat));
    border.remove(board.region(seat));
    std::array<int, kColourCount> gains{};
    Moves moves;
    for (int colour = 1; colour <= kColourCount; ++colour) {
        if (!board.legal(seat, colour))
            continue;
        BitPlane touching = border;
        touching &= board.plane(colour);
        gains[static_cast<std::size_t>(colour - 1)] =
            touching.empty() ? 0 : flooded(touching, board.plane(colour)).count();
        moves.colours[static_cast<std::size_t>(moves.count++)] = colour;
    }
    std::stable_sort(moves.colours.begin(), moves.colours.begin() + moves.count, [&](int a, int b) {
        return gains[static_cast<std::size_t>(a - 1)] > gains[static_cast<std::size_t>(b - 1)];
    });
    return moves;
}

class Negamax {
public:
    explicit Negamax(Weighing weighing) : weighing_(weighing) {}

    int worth(const BitBoard& board, int seat, int depth, int alpha, int beta)
    {
        ++nodes;
        if (const auto decided = decidedWorth(board, seat))
            return *decided;
        if (depth == 0)
            return evaluate(board, seat, weighing_);
        const Moves moves = orderedMoves(board, seat);
        if (moves.count == 0)
            return evaluate(board, seat, weighing_);
        int best = -2 * kDecided;
        for (int i = 0; i < moves.count; ++i) {
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

private:
    Weighing weighing_;
};

} // namespace

SearchAnswer searchMove(const BitBoard& board, int seat, SearchDepth limit)
{
    SearchAnswer answer;
    const Moves moves = orderedMoves(board, seat);
    Negamax search(limit.weighing);
    int alpha = -2 * kDecided;
    const int beta = 2 * kDecided;
    for (int i = 0; i < moves.count; ++i) {
        BitBoard next = board;
        next.play(seat, moves.colours[static_cast<std::size_t>(i)]);
        const int worth = -search.worth(next, 1 - seat, std::max(limit.depth, 1) - 1, -beta, -alpha);
        if (answer.colour == 0 || worth > answer.worth) {
            answer = {moves.colours[static_cast<std::size_t>(i)], worth, 0};
            alpha = std::max(alpha, worth);
        }
    }
    answer.nodes = search.nodes + 1;
    return answer;
}

} // namespace vorlen
