#pragma once

#include "Replay.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlen::match {

struct SeatRecord {
    std::string player = "A"; // the player's name: A (--first), B (--second), or a --player NAME
    std::string command;      // "stupid" or the program's command line
    int score = 0;
    std::string retired;      // why the seat was retired, empty if it never was
    int retiredTurn = -1;
    MoveTimes times;
    int moveLimitMs = static_cast<int>(kMoveTimeLimit.count()); // its time for a move
    std::string hint{};       // how to fix the bot that failed, when that can be told
};

// One finished match. Seats in seat order: [0] top-left, [1] bottom-right.
struct MatchRecord {
    int game = 0;
    std::string board;
    std::array<SeatRecord, 2> seats;
    int turns = 0;
    std::string containment = "none"; // "sandbox" when bots ran in bubblewrap
    std::string run;                  // the run's id: the same for all its matches
    int runMatches = 0;               // how many matches the whole run has
    bool swap = false;                // the run plays every board in both seatings
    std::string runPlayers;           // the run's players' names in order, by spaces
    std::string governance = "none";  // what held the boxes: "cgroup v1", "cgroup v2", "rlimits"
    std::string sprt;                 // the run's SPRT settings ("elo0=...,elo1=..."), empty without one
    std::string botEnv;               // the variables passed to the bots besides the fixed ones: "A B"
    std::string shard;                // "I/N" for a shard of a run (--shard), empty for a whole run
    std::string anchor;               // who the standings put at 0 (--anchor); empty for the first player
    std::string ended;                // when the match ended, UTC ("2026-12-09T08:15:02Z"); empty in older records

    // The winner's name, or "D" for a draw: the higher final score wins.
    std::string winner() const;
    // A player's points from this match: 1 for a win, 1/2 for a draw, else 0.
    double pointsOf(const std::string& player) const;
};

// Move times as records keep them, to the microsecond: what a run counts is
// what its records sum up to again.
MoveTimes asRecorded(MoveTimes times);

} // namespace vorlen::match
