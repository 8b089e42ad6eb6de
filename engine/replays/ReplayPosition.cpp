#include "ReplayPosition.h"

#include "Field.h"
#include "ReplayPlayback.h"

#include <charconv>

namespace vorlen {

std::optional<int> parseTurnsPlayed(std::string_view text)
{
    if (text == "start")
        return 0;
    int turn = 0;
    const char* last = text.data() + text.size();
    const auto [end, problem] = std::from_chars(text.data(), last, turn);
    // The longest match is far shorter; the bound keeps turn + 1 in range.
    if (problem != std::errc() || end != last || text.empty() || turn < 0 || turn > 1'000'000)
        return std::nullopt;
    return turn + 1;
}

std::string turnsPlayedText(int turns) { return turns == 0 ? "start" : std::to_string(turns - 1); }

std::optional<std::pair<std::string, std::string>> splitAtTurn(const std::string& text)
{
    const std::size_t at = text.rfind('@');
    if (at == std::string::npos || at == 0 || at + 1 == text.size())
        return std::nullopt;
    return std::pair{text.substr(0, at), text.substr(at + 1)};
}

std::optional<ReplayPosition> parseReplayPosition(const std::string& text)
{
    const auto parts = splitAtTurn(text);
    const std::optional<int> turns = parts ? parseTurnsPlayed(parts->second) : std::nullopt;
    if (!turns)
        return std::nullopt;
    return ReplayPosition{parts->first, *turns};
}

std::optional<MatchPosition> positionToPlayOn(const ReplayPlayback& playback, int turns, std::string& problem)
{
    if (playback.over()) {
        problem = "the match is over after turn " + turnsPlayedText(turns) + ": there is nothing to play on";
        return std::nullopt;
    }
    return playback.matchPosition();
}

std::optional<MatchPosition> positionAfter(const Replay& replay, int turns, std::string& problem)
{
    if (turns > static_cast<int>(replay.turns.size())) {
        problem = "the replay has " + std::to_string(replay.turns.size()) + " turns (0 to "
                  + std::to_string(static_cast<int>(replay.turns.size()) - 1) + "), not a turn "
                  + turnsPlayedText(turns);
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
