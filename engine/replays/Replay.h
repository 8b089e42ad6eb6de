#pragma once

#include "Field.h"
#include "MoveTime.h"
#include "SeatFiles.h"
#include "VorlenManager.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlen {

struct ReplayRetirement {
    int seat = 0;
    std::string reason; // in a bot writer's words: "timed out", "stall", ...

    bool operator==(const ReplayRetirement&) const = default;
};

// One makeTurn call of the match.
struct ReplayTurn {
    int seat = 0;
    std::optional<int> answer; // none when the seat was already out
    double milliseconds = 0;   // how long the player took
    ScorePair score{0, 0};     // both scores after the turn
    std::vector<ReplayRetirement> retired; // seats retired in this turn
    std::string log;           // what the player wrote on its standard error in the move
    // What the seat folder of a file bot held after the move, where that
    // changed: playing on from a later turn puts the last back.
    std::optional<SeatFiles> seatFiles;

    bool operator==(const ReplayTurn&) const = default;
};

// Whether the seat named a number in the turn: a colour, or a number the
// referee refused as outside 1 to 6. A move that failed otherwise (a crash,
// a time limit) named none, whatever the referee counted it as.
bool namedANumber(const ReplayTurn& turn);

// A whole match, or the start of one: enough to play it again through the
// engine. Seats in seat order: [0] top-left, [1] bottom-right.
struct Replay {
    Field board;                       // before the first turn
    std::string boardSource;           // "seed:S:K", "rand:K", a map...; may be empty
    std::array<std::string, 2> players; // as named on the command line
    // What the run called them ("A", a --player NAME); empty where nothing did.
    std::array<std::string, 2> names;
    // The players as they ran: the paths their command lines and folders
    // name made absolute from `runFolder`, the folder the match ran in, so
    // that playing on from elsewhere starts the same programs. Empty in
    // replays from before, and for seats that name no path.
    std::array<std::string, 2> playersAsRun;
    std::string runFolder;
    // Each seat's time for a move, in milliseconds; 0: the seat had none.
    std::array<int, 2> moveLimitsMs{static_cast<int>(kMoveTimeLimit.count()), static_cast<int>(kMoveTimeLimit.count())};
    std::vector<ReplayTurn> turns;
    bool finished = false;             // the match ended with its last turn

    bool operator==(const Replay&) const = default;

    ScorePair finalScore() const { return turns.empty() ? ScorePair{0, 0} : turns.back().score; }
    // 0 or 1 for the seat with the higher final score, -1 for a draw.
    int winningSeat() const;
};

// A seat's player as people name it: as the run named it, where one did,
// otherwise by its program's file name (playerName).
std::string seatName(const Replay& replay, int seat);
// Both, in seat order.
std::array<std::string, 2> seatNames(const Replay& replay);
// The seat's player as it ran (playersAsRun), or as named where the replay
// does not say.
const std::string& seatAsRun(const Replay& replay, int seat);

// A move's log as people read it: what the bot wrote, then a note of what
// its seat folder held after the move, where that changed.
std::string logWithSeatFiles(const ReplayTurn& turn);

// What `seat`'s folder held before turn `turn`: the files its last move
// before that kept; none when none kept any.
std::optional<SeatFiles> seatFilesBefore(const Replay& replay, int seat, int turn);

// What a replay keeps of a move's standard error, of which `written` bytes
// were written and `start` holds the first: its first 4 KiB, and a line
// saying how much more there was.
inline constexpr std::size_t kMoveLogBytes = 4096;
std::string moveLogKept(std::string_view start, std::uint64_t written);

// The turn `manager` has just played, with the reasons of the seats it
// retired worded by `reasonOf(seat)`.
ReplayTurn recordTurn(const VorlenManager& manager, const std::function<std::string(int seat)>& reasonOf);

// One seat's move times over a match.
struct MoveTimes {
    int moves = 0;
    double meanMs = 0;
    double maxMs = 0;
    int nearLimit = 0; // moves that took 90 % of the limit or more
};
MoveTimes moveTimes(const Replay& replay, int seat, double limitMs);

} // namespace vorlen
