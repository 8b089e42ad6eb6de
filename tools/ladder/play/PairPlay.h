#pragma once

#include "BotGroups.h"
#include "BotLimits.h"
#include "BoxPool.h"
#include "LadderStore.h"
#include "MatchRecord.h"
#include "NamedPlayer.h"
#include "Sandbox.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::ladder {

// How the ladder plays: always in boxes, on seeded boards.
struct PlaySettings {
    SandboxPlan plan;
    BotLimits limits;
};

// Where one pair's files go, and which board it plays.
struct PairPlace {
    std::uint64_t seed = 0; // the board: the seeded generator's first from this seed
    std::string folder;     // the pair's logs and replays; made when missing
};

struct PairOutcome {
    std::vector<match::MatchRecord> records; // in seat order of the board: a first, then b first
    std::string error;                       // the referee's own failure; empty when none
    bool interrupted = false;
};

// A version of a bot as a seat: its command line read as the runner reads
// one ("stream:" and all), its relative paths taken from its `folder`,
// which is the folder its box shows it.
SeatPlayer versionSeat(const std::string& command, const std::string& folder);

// Plays one board in both seatings between `a` and `b`, match by match as
// vorlen-match plays them: the same seats, boxes, limits, records and
// replays. Boxes come from and go back to `boxes`, kept by this thread for
// the versions' next pairs. Killing `groups` stops it, with nothing kept.
PairOutcome playPair(const match::NamedPlayer& a, const match::NamedPlayer& b, const PairPlace& place,
                     const PlaySettings& settings, BotGroups& groups, BoxPool& boxes);

// Whether a seat's match ended by its failure, not by the game's end.
bool failedIn(const match::SeatRecord& seat);

// A landed match's game number among the ladder's (its records read as one
// run's): a pair's two in turn.
inline int ladderGame(std::int64_t pair, int inPair) { return static_cast<int>(2 * (pair - 1) + inPair); }
// A stored match's record; none where it cannot be read as one (`error` says why).
std::optional<match::MatchRecord> recordOf(const MatchRow& row, std::string* error = nullptr);
// Where a landed match's replay is, relative to the ladder's folder.
std::string landedReplay(std::int64_t pair, const match::MatchRecord& record);
// Where what a seat's program wrote in a landed match is, likewise.
std::string landedBotLog(std::int64_t pair, const match::MatchRecord& record, int seat);

// How many of the records' matches `player` failed in.
int failedMatches(const std::vector<match::MatchRecord>& records, const std::string& player);

// Why a version's check against the built-in player failed: its first
// failed move, with the runner's hint; empty when it played both matches
// to their end.
std::string checkFailure(const std::vector<match::MatchRecord>& records, const std::string& version);

} // namespace vorlen::ladder
