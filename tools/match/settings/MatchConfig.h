#pragma once

#include "BoardList.h"
#include "BotEnvironment.h"
#include "BotLimits.h"
#include "NamedPlayer.h"
#include "ReplayPosition.h"
#include "PlayerFactory.h"
#include "Sandbox.h"
#include "Schedule.h"
#include "SprtSettings.h"


#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

using vorlen::kBuiltInName;

enum class BoardMode {
    Window, // the C library's rand() draws in sequence, as the window draws them
    Seeded, // a portable generator seeded from --seed and the board's index
    Map,    // one map file, read over each rand() draw as the window reads it
    List,   // a board list's boards in order, cycled
    Start,  // every match plays on from one replay's position
};

enum class SandboxMode {
    Auto,     // when bubblewrap works here, else without it, said once
    Required, // refuse to run without it
    Off,
};

struct MatchConfig {
    SeatPlayer first;  // player A; the built-in player unless given
    SeatPlayer second; // player B
    std::vector<NamedPlayer> named;    // --player NAME=P, in order; in place of A and B
    Tournament tournament = Tournament::None;
    std::string anchor; // --anchor: a player's name or "mean"; empty: the first player
    std::optional<SprtSettings> sprt;
    bool resume = false;
    int shard = 0;  // --shard I/N: this run plays the matches whose index is I modulo N
    int shards = 1;
    int games = 1;
    BoardMode boards = BoardMode::Window;
    std::uint64_t seed = 0;
    std::string mapPath;
    std::string mapText;   // the map's digits as read, at most one board's worth
    int mapDigits = 0;     // fewer than a board: the rest is drawn at random
    std::string boardListPath;
    std::vector<ListedBoard> boardList; // read at start, maps and all
    std::optional<ReplayPosition> start; // --start REPLAY@K
    Replay startReplay;                  // its replay, read and checked at start
    bool swap = false;
    bool alternate = false; // one seating a board, exchanged from board to board
    int concurrency = 1;
    std::string resultsPath;
    std::string botLogDir;
    std::string replayDir;
    std::string reportDir; // --report: the run as web pages
    std::vector<int> evaluationLevels; // --evaluation: search levels shown on the report's match pages
    bool trace = false;
    bool quiet = false; // progress as a bare count
    SandboxMode sandbox = SandboxMode::Auto;
    SandboxPlan boxes; // what the run's boxes are made with, found at start; empty: none
    BotLimits limits;
    std::vector<EnvPass> botEnv; // --bot-env: what the bots get of the environment besides the fixed part
    bool preflight = true;           // each program started once on a board before the first match
    bool looseStreamAnswers = false; // --loose-stream-answers: the old rule of a stream bot's answer line
    bool keepSeatFiles = true;       // off with --no-seat-files
    std::chrono::milliseconds moveTime = kMoveTimeLimit;              // --move-time MS
    std::map<std::string, std::chrono::milliseconds> playerMoveTimes; // --move-time NAME=MS

    // The players by index: the named ones, or A (--first) and B (--second),
    // each with its time for a move.
    std::vector<NamedPlayer> players() const;
    std::vector<Pairing> pairings() const { return pairingsOf(static_cast<int>(players().size()), tournament); }
    // Who sits where in a match of the schedule, in seat order.
    std::array<NamedPlayer, 2> seatsFor(const Slot& slot) const;
    bool anyProgram() const;
    // How this run's bots are held: what the records and the summary say.
    bool boxed() const { return anyProgram() && !boxes.bwrap.empty(); }
    const char* containment() const { return boxed() ? "sandbox" : "none"; }

    // Matches of the whole run, and of the part this process plays.
    int matchCount() const { return matchCountOf(games, static_cast<int>(pairings().size()), swap); }
    ShardPart shardPart() const { return {shard, shards, shardUnitOf(swap)}; }
    bool inShard(int game) const { return shardPart().holds(game); }
    int shardMatchCount() const { return shardPart().matchesOf(matchCount()); }
    // Names the run: its players, boards and seatings, so that the records of
    // one run can be told from another's. The same for every shard of a run.
    std::string runId() const;
};

} // namespace vorlen::match
