#pragma once

#include "MoveTime.h"
#include "SeatPlayer.h"

#include <chrono>
#include <string>

namespace vorlen::match {

// A player of the run: its name in records and tables, and who plays it.
struct NamedPlayer {
    std::string name;
    SeatPlayer seat; // who plays it, read once where it was given
    std::chrono::milliseconds moveTime = kMoveTimeLimit; // its time for a move

    // As records, tables and replays name it.
    std::string command() const { return seat.text(); }
    bool operator==(const NamedPlayer&) const = default;
};

} // namespace vorlen::match
