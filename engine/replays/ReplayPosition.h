#pragma once

#include "IVorlenLogic.h"
#include "MatchPosition.h"
#include "Replay.h"
#include "VorlenManager.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vorlen {

// A moment of a replay as people name it, numbered as the slider and the
// match page number turns: "K", the position after turn K (turns from 0),
// or "start", before the first turn. Gives how many turns are played by
// then; none when the text is neither.
std::optional<int> parseTurnsPlayed(std::string_view text);
// The other way: "start" for none played, else the last turn played.
std::string turnsPlayedText(int turns);

// "FILE@K" parted at its last "@"; none without a file or a K.
std::optional<std::pair<std::string, std::string>> splitAtTurn(const std::string& text);

// A moment of a replay: the position after its first `turns` turns.
struct ReplayPosition {
    std::string path;
    int turns = 0;

    // "replay:FILE@K", as records label a board that starts there.
    std::string label() const { return "replay:" + path + "@" + turnsPlayedText(turns); }
};

// Where a match starts when not on its first turn: the replay it plays on
// from, and how many of its turns come first. No replay: the first turn.
struct StartPoint {
    const Replay* replay = nullptr;
    int turns = 0;
};

// Reads "FILE@K" (after turn K) or "FILE@start"; none when it is not one.
std::optional<ReplayPosition> parseReplayPosition(const std::string& text);

// Where the match of a checked replay stands after its first `turns` turns,
// played through a referee of its own. None, with the problem, when the
// replay has fewer turns or its match is over by then.
std::optional<MatchPosition> positionAfter(const Replay& replay, int turns, std::string& problem);

class ReplayPlayback;
// The same for a playback that stands after `turns` turns (a viewer's), with
// no need to play the replay again.
std::optional<MatchPosition> positionToPlayOn(const ReplayPlayback& playback, int turns, std::string& problem);

// Puts `manager` at that position with `players` seated, each out if its
// seat was out by then: the match goes on with turn `turns`, the board,
// scores, stall count, retirements and seat to move as they were. False,
// with the problem, as positionAfter says it; `manager` is then untouched.
bool playUpTo(VorlenManager& manager, const Replay& replay, int turns, const std::array<IVorlenLogic*, 2>& players,
              std::string& problem);

// Whether there is a match to play on after a checked replay's first
// `turns` turns; false, with why, as playUpTo would say it.
bool canPlayOn(const Replay& replay, int turns, std::string& problem);

} // namespace vorlen
