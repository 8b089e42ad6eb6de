#include "FailedMoves.h"

#include "PairPlay.h"
#include "RecordText.h"

namespace vorlen::ladder {

std::vector<FailedMove> failedMovesOf(LadderStore& store, const VersionRow& version, int shown, int looked)
{
    const std::string name = versionName(version);
    std::vector<FailedMove> moves;
    for (const MatchRow& row : store.matches(looked, version.id)) {
        std::vector<match::MatchRecord> records;
        std::string error;
        if (!match::parseRecords(row.record, true, records, error) || records.empty())
            continue;
        for (const match::SeatRecord& seat : records[0].seats) {
            if (seat.player != name || !failedIn(seat) || static_cast<int>(moves.size()) >= shown)
                continue;
            moves.push_back({row.id, seat.retiredTurn, seat.retired, seat.hint, row.pair});
        }
    }
    return moves;
}

} // namespace vorlen::ladder
