#include "FailedMoves.h"

#include "PairPlay.h"

namespace vorlen::ladder {

std::vector<FailedMove> failedMovesOf(LadderStore& store, const VersionRow& version, int shown, int looked)
{
    const std::string name = versionName(version);
    std::vector<FailedMove> moves;
    for (const MatchRow& row : store.matches(looked, version.id)) {
        const std::optional<match::MatchRecord> record = recordOf(row);
        if (!record)
            continue;
        for (const match::SeatRecord& seat : record->seats) {
            if (seat.player != name || !failedIn(seat) || static_cast<int>(moves.size()) >= shown)
                continue;
            moves.push_back({row.id, seat.retiredTurn, seat.retired, seat.hint, row.pair});
        }
    }
    return moves;
}

} // namespace vorlen::ladder
