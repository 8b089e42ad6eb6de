#include "ReplayPosition.h"

#include "Field.h"
#include "ReplayPlayback.h"

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

std::optional<MatchPosition> positionToPlayOn(const ReplayPlayback& playback, int turns, std::string& problem)
{
    if (playback.over()) {
        problem = "the match is over after " + std::to_string(turns) + " turns: there is nothing to play on";
        return std::nullopt;
    }
    return playback.matchPosition();
}

std::optional<MatchPosition> positionAfter(const Replay& replay, int turns, std::string& problem)
{
    if (turns > static_cast<int>(replay.turns.size())) {
        problem = "the replay has " + std::to_string(replay.turns.size()) + " turns, not " + std::to_string(turns);
        return std::nullopt;
    }
    // The replay's own playback: seats that answer as the replay says.
    // Played turn by turn: a turn the referee does not come to is said, never
    // skipped to a position short of the one asked for.
    ReplayPlayback playback(replay);
    while (playback.position() < turns)
        if (!playback.playNext(problem))
            return std::nullopt;
    return positionToPlayOn(playback, turns, problem);
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
