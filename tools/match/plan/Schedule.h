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

// Part `index` of a run split in `count` (--shard I/N): the games that are
// `index` modulo `count`.
struct ShardPart {
    int index = 0;
    int count = 1;
};
// "I/N" with 0 <= I < N <= 100000, nothing else.
std::optional<ShardPart> parseShard(const std::string& text);
int matchCountOf(int boards, int pairingCount, bool swap);

} // namespace vorlen::match
