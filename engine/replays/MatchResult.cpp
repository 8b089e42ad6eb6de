#include "MatchResult.h"

#include "Retirement.h"

#include <vector>

namespace vorlen {

std::string matchResultText(const Replay& replay, const std::array<std::string, 2>& names)
{
    if (!replay.finished || replay.turns.empty())
        return {};
    const ScorePair score = replay.finalScore();
    const int winner = replay.winningSeat();
    const std::string scores = std::to_string(score.first) + " to " + std::to_string(score.second);
    const auto name = [&](int seat) { return names.at(static_cast<std::size_t>(seat)); };
    std::vector<const ReplayRetirement*> failures;
    for (const ReplayTurn& turn : replay.turns)
        for (const ReplayRetirement& retired : turn.retired)
            if (!isGameEnd(retired.reason))
                failures.push_back(&retired);
    if (failures.size() == 2) {
        std::string text = "Both failed: ";
        for (const ReplayRetirement* failed : failures)
            text += std::string(failed->seat == 0 ? "first (" : "second (") + name(failed->seat) + "): " + failed->reason
                    + "; ";
        return text + (winner < 0 ? "the match is a draw, " : name(winner) + " wins on score, ") + scores;
    }
    std::string text = winner < 0 ? std::string("A draw") : name(winner) + " wins";
    text += ", " + scores + " (";
    // A failure says more of how it ended than the end it led to.
    std::string how;
    if (!failures.empty())
        how = name(failures.front()->seat) + (failures.front()->seat == 0 ? " (first)" : " (second)") + " failed: "
              + failures.front()->reason;
    if (how.empty())
        for (const ReplayRetirement& retired : replay.turns.back().retired)
            how = retired.reason == "stall" ? "stall: no change in 8 turns" : retired.reason;
    return text + (how.empty() ? "match over" : how) + ")";
}

} // namespace vorlen
