#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

enum class Tournament {
    None,       // two players: A against B
    RoundRobin, // every pair of players
    Gauntlet,   // the first player against each other one
};

// Two players by their index in the run's list; `a` sits first unless swapped.
struct Pairing {
    int a = 0;
    int b = 1;
    bool operator==(const Pairing&) const = default;
};

std::vector<Pairing> pairingsOf(int playerCount, Tournament tournament);

// Where match `game` of a run stands: all matches on board 0 come first
// (every pairing, each in both seatings with --swap), then board 1, and so
// on. A run interrupted anywhere has played whole boards for every pairing
// but the last, and board k is the same for all pairings.
struct Slot {
    int board = 0;
    int pairing = 0;
    bool swapped = false;
    bool operator==(const Slot&) const = default;
};

// `alternate` (without `swap`): board k's seats exchanged when k is odd.
Slot slotOf(int game, int pairingCount, bool swap, bool alternate = false);

// Part `index` of a run split in `count` (--shard I/N). A shard takes runs
// of `unit` consecutive games, every `count`-th run from its `index`: with
// both seatings of a board (unit 2) a board pair stays in one shard, so
// each shard's figures stand on pairs and its seats are balanced.
struct ShardPart {
    int index = 0;
    int count = 1;
    int unit = 1;

    bool holds(int game) const { return (game / unit) % count == index; }
    // Of a run of `matches` matches, how many are this part's.
    int matchesOf(int matches) const;
};
// The games a shard keeps together: a board's two seatings when played.
inline int shardUnitOf(bool swap) { return swap ? 2 : 1; }
// "I/N" with 0 <= I < N <= 100000, nothing else.
std::optional<ShardPart> parseShard(const std::string& text);
int matchCountOf(int boards, int pairingCount, bool swap);

} // namespace vorlen::match
