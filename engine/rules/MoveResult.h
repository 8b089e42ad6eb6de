#pragma once

#include "SeatFiles.h"

#include <optional>
#include <string>

namespace vorlen {

// How a player's move went, for callers that report reasons.
enum class Outcome {
    None,
    Answered,
    FailedToStart,
    TimedOut,
    NoMove,         // no answer in vorla.out
    NoAnswer,       // a stream bot: no answer line on its standard output
    ExchangeFailed, // the exchange files could not be cleared or written
    MemoryLimit,
    TaskLimit,
    DiskLimit,
    CpuLimit,
    FileSizeLimit,
    RefereeError,   // the referee's own failure, not the bot's: its log
};

// How the reason reads in records, summaries and replays.
const char* outcomeName(Outcome outcome);

// A move: the colour a player named, and, when it named none it could,
// why, as much as is known.
struct MoveResult {
    int colour = 0;
    Outcome outcome = Outcome::None;
    std::string detail; // how its program ended, or the referee's own trouble
    std::string hint;   // how to fix the bot, when that can be told
    std::string log;    // what its program wrote on standard error during the move, as replays keep it
    // What a file bot's seat folder held after the move, where that changed.
    std::optional<SeatFiles> seatFiles;

    // Whether the failure is the referee's own, never to be charged to a bot.
    bool refereeError() const { return outcome == Outcome::RefereeError; }
};

} // namespace vorlen
