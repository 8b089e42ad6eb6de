#include "MatchStory.h"

#include "Retirement.h"
#include "SeatPlayer.h"

#include <cstdio>

namespace {

constexpr const char* kSeatNames[] = {"first", "second"};

std::string seatWithPlayer(const vorlen::Replay& replay, int seat)
{
    // A line of the status bar, not the whole of a command of any length.
    constexpr std::size_t kShownBytes = 120;
    const std::string& player = replay.players[static_cast<std::size_t>(seat)];
    return std::string(kSeatNames[seat]) + " (" + vorlen::shownCommand(player, kShownBytes) + ")";
}

} // namespace

std::string matchTitle(const std::array<std::string, 2>& names)
{
    return "vorlen \u2014 " + names[0] + " vs " + names[1];
}

std::string durationText(double milliseconds)
{
    char text[32];
    if (milliseconds >= 1000)
        std::snprintf(text, sizeof text, "%.2f s", milliseconds / 1000);
    else if (milliseconds >= 10)
        std::snprintf(text, sizeof text, "%.1f ms", milliseconds);
    else if (milliseconds >= 1)
        std::snprintf(text, sizeof text, "%.2f ms", milliseconds);
    else
        std::snprintf(text, sizeof text, "%.0f \u00b5s", milliseconds * 1000);
    return text;
}

std::string storyLine(const vorlen::Replay& replay, int shown)
{
    if (shown <= 0 || replay.turns.empty())
        return "Start: " + seatWithPlayer(replay, 0) + " moves first";
    const std::size_t index = std::min(static_cast<std::size_t>(shown), replay.turns.size()) - 1;
    const vorlen::ReplayTurn& turn = replay.turns[index];
    std::string line = "Turn " + std::to_string(index) + ": " + kSeatNames[turn.seat];
    if (!turn.answer)
        line += " is out";
    else if (vorlen::isColour(*turn.answer))
        line += " played colour " + std::to_string(*turn.answer) + " in " + durationText(turn.milliseconds);
    else if (vorlen::namedANumber(turn))
        line += " answered " + std::to_string(*turn.answer) + " after " + durationText(turn.milliseconds);
    else
        line += " gave no move in " + durationText(turn.milliseconds);
    for (const vorlen::ReplayRetirement& retirement : turn.retired)
        line += std::string(" · ") + kSeatNames[retirement.seat]
                + (vorlen::isGameEnd(retirement.reason) ? " is done: " : " failed: ") + retirement.reason;

    if (index + 1 == replay.turns.size() && replay.finished) {
        const vorlen::ScorePair score = replay.finalScore();
        line += " · match over, " + std::to_string(score.first) + " to " + std::to_string(score.second) + ": ";
        const int winner = replay.winningSeat();
        line += winner < 0 ? std::string("a draw") : seatWithPlayer(replay, winner) + " wins";
        return line;
    }
    return line + " · next: " + kSeatNames[1 - turn.seat];
}
