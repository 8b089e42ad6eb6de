#include "MatchEvaluation.h"

#include "Assessment.h"
#include "ReplayPlayback.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace vorlen {

std::string matchEvaluationJson(const Replay& replay, int level)
{
    nlohmann::json positions = nlohmann::json::array();
    ReplayPlayback playback(replay);
    for (int turns = 0;; ++turns) {
        const Field& board = playback.board();
        // The referee passes the turn from seat to seat, a seat out or not.
        const int seat = turns % 2;
        if (!BitBoard::fits(board))
            return {};
        const Assessment seen = assess(BitBoard(board), seat, level);
        positions.push_back({seat, seen.colour, std::round(seen.lead * 10) / 10, seen.decided,
                             std::round(firstSeatShare(seen, seat) * 1000) / 1000, assessmentText(seen)});
        std::string problem;
        if (turns >= playback.length())
            break;
        if (!playback.playNext(problem))
            return {};
    }
    return positions.dump();
}

} // namespace vorlen
