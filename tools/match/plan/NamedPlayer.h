#pragma once

#include "MoveTime.h"

#include <chrono>
#include <string>

namespace vorlen::match {

// A player of the run: its name in records and tables, and who plays it.
struct NamedPlayer {
    std::string name;
    std::string command; // "stupid" or a program's command line
    std::chrono::milliseconds moveTime = kMoveTimeLimit; // its time for a move
    bool operator==(const NamedPlayer&) const = default;
};

} // namespace vorlen::match
