#pragma once

#include "BotEnvironment.h"
#include "BotGroups.h"
#include "BotLimits.h"
#include "BotLog.h"
#include "BotProcess.h"
#include "Box.h"
#include "BoxPool.h"
#include "ExchangeFiles.h"
#include "IVorlenLogic.h"
#include "MoveResult.h"
#include "MoveTime.h"
#include "Replay.h"
#include "Sandbox.h"
#include "SeatPlayer.h"
#include "Trace.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

struct HintFacts;
struct MoveFailure;

// What a program seat runs with.
struct BotSettings {
    std::string exchangeDir;     // where it runs and exchanges; empty: the working directory
    std::string stderrPath;      // where the bot's standard error goes; empty: nowhere
    Trace trace;
    BotGroups* groups = nullptr; // where a runner keeps track of running bots
    BotLimits limits;
    std::chrono::milliseconds moveLimit = kMoveTimeLimit;
    // A stream bot's first answer may take this long on top of the move limit:
    // an interpreter or a virtual machine starts.
    std::chrono::milliseconds startupLimit{5000};
    // Run the bot in a box of its own for the match, whose seat folder
    // takes the place of the exchange directory.
    std::optional<SandboxPlan> sandbox;
    // In a box: the bot's own folder (empty: found from its command line)
    // and what in it is hidden from the bot.
    std::string ownDir;
    std::vector<std::string> hidden;
    // Why its box cannot be made as the run stands (beside its opponent and
    // the run's outputs); empty: it can.
    std::string boxRefusal;
    // Who keeps its box between matches: a box is taken again only by the
    // same player (its name in the run), never by another.
    std::string boxOwner;
    // What the organiser passes on to the bot's environment.
    std::vector<EnvPass> env;
    // A stream bot's line that starts with an integer is its answer, whatever
    // follows (the old rule); otherwise a line of one integer alone.
    bool looseStreamAnswers = false;
    // Where boxes are kept between matches; none: each match makes its own.
    BoxPool* boxPool = nullptr;
    // A file bot with a seat folder of its own (its box's, or an exchange
    // folder given) has what it leaves there kept after each move where that
    // changed, and finds `startFiles` there before its first move.
    bool keepSeatFiles = true;
    std::optional<SeatFiles> startFiles;
};

// Whether a bot of these settings has a seat folder of its own, not the
// referee's working folder.
bool hasOwnSeatFolder(const BotSettings& settings);

// The settings as a player runs with them: a group table of its own when
// none is given (kept in `ownGroups`).
BotSettings settledSettings(BotSettings settings, std::unique_ptr<BotGroups>& ownGroups);
// The program's command line as it is run; in a box, relative paths are
// anchored where the referee runs, since the bot runs in its seat folder.
std::vector<std::string> botArguments(const std::string& program, const BotSettings& settings);
// The environment of a bot of these settings: HOME and TMPDIR in its box, or
// in its exchange directory.
std::vector<std::string> environmentOf(const BotSettings& settings);
// What the box of a bot of these settings shows it, for its command line as run.
BoxView boxViewOf(const std::vector<std::string>& argv, const BotSettings& settings);
// The same for a seat option's text ("stream:", ",dir=" and all), its paths
// taken from the working directory.
BoxView boxViewOfProgram(const SeatPlayer& given, BotSettings settings);
// How a bot of these settings runs, in the directory `workDirFd` or in
// `box`, its standard error going to `log` when that is open.
BotProcess::Options botOptions(const BotSettings& settings, int workDirFd, BotLog& log, Box* box);

// What the notes of the log put before a move's words: its turn, numbered
// as the log's marks, the replay and the summary number it ("turn 89: "),
// or the player's own count of its moves outside a turn ("move 3: ").
std::string noteLabel(int turn, int moves);

// Where a program seat plays its match: the exchange directory, or a box
// started at its first move and ended with the match, whose seat folder
// then holds the exchange files.
class SeatPlace {
public:
    bool open(const std::vector<std::string>& argv, const BotSettings& settings, std::string& error);
    bool isOpen() const { return files_.dirFd() >= 0; }
    const ExchangeFiles& files() const { return files_; }
    Box* box() { return box_.get(); }
    // What held the bot: "none" outside a box.
    const char* governance() const { return governance_; }
    // The match is over: its box goes back to the pool, or ends.
    void close();

private:
    std::unique_ptr<Box> box_;
    BoxPool* pool_ = nullptr;
    std::string key_; // what the box is in the pool
    const char* governance_ = "none";
    ExchangeFiles files_;
};

// A seat played by a program: its move comes back with how it went, and it
// is told when the match is over (a program that stays up for the match ends
// then).
class ExternalPlayer : public IVorlenLogic {
public:
    // The move with how it went: what its program did, how to fix it, and
    // what it wrote on standard error meanwhile.
    MoveResult play(const Field& field, int turn) final;
    // What held the bot in its box ("cgroup v1", "cgroup v2", "rlimits"),
    // or "none".
    virtual const char* governance() const = 0;

protected:
    // One move of the program's in the referee's turn `turn` (-1 outside
    // one), its log already at the move; the log's share of it is added by
    // `play`.
    virtual MoveResult runMove(const Field& field, int turn) = 0;
    // A failed move as judged, said: its console line, its notes in the log
    // after `move` (noteLabel's), and, where one can be told, how to fix the
    // bot, from `facts` of its run and what its command line shows.
    MoveResult sayFailure(const MoveFailure& failure, HintFacts facts, const std::string& move,
                          const std::string& program, const BotSettings& settings);

    BotLog log_{kMoveLogBytes}; // its standard error: the move's part kept, and the file, when there is one
};

} // namespace vorlen
