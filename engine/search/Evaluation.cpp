#include "Evaluation.h"

#include "Territory.h"

namespace vorlen {

std::optional<int> decidedWorth(const BitBoard& board, int seat)
{
    const ScorePair scores = board.scores();
    const int mine = seat == 0 ? scores.first : scores.second;
    const int theirs = seat == 0 ? scores.second : scores.first;
    const int lead = mine - theirs;
    if (mine >= kWinningCells || theirs >= kWinningCells || mine + theirs == kBoardCells)
        return lead == 0 ? 0 : (lead > 0 ? kDecided + lead : -kDecided + lead);
    return std::nullopt;
}

int evaluate(const BitBoard& board, int seat, Weighing weighing)
{
    if (const auto decided = decidedWorth(board, seat))
        return *decided;
    const ScorePair scores = board.scores();
    const int regionLead = seat == 0 ? scores.first - scores.second : scores.second - scores.first;
    if (weighing == Weighing::Regions)
        return kCellWorth * regionLead;
    const Territory reached = territory(board);
    const int reachLead = reached.cells[static_cast<std::size_t>(seat)] - reached.cells[static_cast<std::size_t>(1 - seat)];
    return kCellWorth * reachLead + regionLead;
}

} // namespace vorlen
