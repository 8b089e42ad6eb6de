#pragma once

#include "Schedule.h"

#include <map>
#include <string>

namespace vorlen::match {

// Which games of a run are there, as runs of consecutive games: records come
// nearly in game order, so a million of them take a handful of entries.
class GameSet {
public:
    // False when the game is there already.
    bool insert(int game);
    // Of the games 0 .. count - 1 (of one shard: those `part` holds), how
    // many are not there, and the first `listed` of them by number ("4, 7, 9").
    int missing(int count, int listed, std::string& list, const ShardPart& part = {}) const;

private:
    std::map<int, int> runs_; // first game -> one past the last
};

} // namespace vorlen::match
