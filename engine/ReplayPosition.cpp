#include "ReplayPosition.h"

#include "Field.h"
#include "ScriptedSeat.h"
#include "Trace.h"

#include <charconv>

namespace vorlen {

std::optional<ReplayPosition> parseReplayPosition(const std::string& text)
{
    const std::size_t at = text.rfind('@');
    if (at == std::string::npos || at == 0)
        return std::nullopt;
    ReplayPosition position;
    position.path = text.substr(0, at);
    const char* first = text.data() + at + 1;
    const char* last = text.data() + text.size();
    const auto [end, problem] = std::from_chars(first, last, position.turns);
    if (problem != std::errc() || end != last || first == last || position.turns < 0)
        return std::nullopt;
    return position;
}

std::optional<MatchPosition> positionAfter(const Replay& replay, int turns, std::string& problem)
{
    if (turns > static_cast<int>(replay.turns.size())) {
        problem = "the replay has " + std::to_string(replay.turns.size()) + " turns, not " + std::to_string(turns);
        return std::nullopt;
    }
    // A referee of its own, with seats that answer as the replay says.
    ScriptedSeat seats[2];
    VorlenManager referee(kBoardColumns, kBoardRows, 2, Trace::silent());
    referee.setPlayer(0, &seats[0]);
    referee.setPlayer(1, &seats[1]);
    referee.setBoard(replay.board);
    for (int turn = 0; turn < turns; ++turn) {
        const std::optional<int> answer = replay.turns[static_cast<std::size_t>(turn)].answer;
        seats[0].answer = seats[1].answer = answer;
        referee.makeTurn(turn);
    }
    if (referee.gameOver()) {
        problem = "the match is over after " + std::to_string(turns) + " turns: there is nothing to play on";
        return std::nullopt;
    }
    return referee.position();
}

bool playUpTo(VorlenManager& manager, const Replay& replay, int turns, const std::array<IVorlenLogic*, 2>& players,
              std::string& problem)
{
    // Refused, the referee is left as it was.
    const std::optional<MatchPosition> position = positionAfter(replay, turns, problem);
    if (!position)
        return false;
    manager.setPlayer(0, players[0]);
    manager.setPlayer(1, players[1]);
    manager.resetTo(*position);
    return true;
}

bool canPlayOn(const Replay& replay, int turns, std::string& problem)
{
    return positionAfter(replay, turns, problem).has_value();
}

} // namespace vorlen
