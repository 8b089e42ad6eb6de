#pragma once

#include "BotProcess.h"
#include "MoveResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlen {

// How a move came to give no colour, as its player saw it.
enum class AnswerFault {
    Missing,  // the bot ended, or its output closed, with no answer
    TimedOut, // no answer within its time
    TooLong,  // a stream bot's answer line past the cap
    NoNumber, // an answer that names no number
};

// A failed move: how its program's run ended and what the player got.
struct FailedRun {
    BotRunResult run;
    AnswerFault fault = AnswerFault::Missing;
    bool stream = false;
    std::uint64_t memoryMiB = 0; // the bot's memory limit; 0: none
    std::string answer; // what it answered, for NoNumber
};

// The outcome that names a box's limit; None for none.
Outcome outcomeOf(BoxLimit limit);

// What a failed move is charged as, and what is said of it.
struct MoveFailure {
    Outcome outcome = Outcome::None;
    std::string detail;             // how it went, for records and summaries
    std::string trace;              // the console's line; empty: none
    std::vector<std::string> notes; // for its log, each after its noteLabel
    bool hint = false;              // whether to work out how to fix the bot
};

// One rule for file and stream bots alike: the referee's own failure is
// never the bot's; a limit its run or its box ran into names the move; a bot
// that gave no answer after using 90 % of its memory ran out of it.
MoveFailure judgeFailedMove(const FailedRun& failed);

} // namespace vorlen
