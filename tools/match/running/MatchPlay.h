#pragma once

#include "BotGroups.h"
#include "BoxPool.h"
#include "ExternalPlayer.h"
#include "Field.h"
#include "MatchConfig.h"
#include "MatchRecord.h"
#include "Replay.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

struct MatchJob {
    int game = 0;
    Field board;
    std::string boardLabel;
    bool swapped = false;              // the pairing's second player in the first seat
    std::array<NamedPlayer, 2> seats;  // who plays, in seat order
    StartPoint start;                  // a replay's position to play on from, or the first turn
};

// A finished match; or nothing, when the run was stopped before its end or
// the referee itself failed (`error` then says how).
struct MatchResult {
    std::optional<MatchRecord> record;
    Replay replay; // every turn played, finished or not
    std::string error;
};

// The replay's file name in a --replays folder: "game-G.json" in a run of
// two players without --swap, else "game-G-FIRST-SECOND.json".
std::string replayFileName(const MatchJob& job, const MatchConfig& config);
// What a seat's program wrote on its standard error in a game, in the run's
// log folder: "game-3-seat-1-B.log".
std::string botLogName(int game, int seat, const std::string& player);
// The same of a run whose replays name their seats: "game-3-A-B.json".
std::string pairReplayName(int game, const std::string& first, const std::string& second);

// The run's own outputs as absolute paths, which no bot may read even where
// they lie in its folder.
std::vector<std::string> runOutputs(const MatchConfig& config);

// How a program seat of `job` runs in this run: its box and what it hides,
// its limits, environment, log and, outside a box, its exchange directory
// in `scratch`.
BotSettings seatSettings(const MatchJob& job, int seat, const MatchConfig& config, BotGroups& groups,
                         const std::string& scratch);

// Plays one match to its end. When a program plays, each seat has a
// temporary exchange directory of its own, so neither seat can reach the
// other's files.
MatchResult playMatch(const MatchJob& job, const MatchConfig& config, BotGroups& groups, BoxPool* boxes = nullptr);

} // namespace vorlen::match
