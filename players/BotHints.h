#pragma once

#include "MoveResult.h"

#include <string>
#include <vector>

namespace vorlen {

// What is known of a failed move, to tell its writer how to fix the bot.
struct HintFacts {
    Outcome outcome = Outcome::None;
    std::string programHead = {}; // the first bytes of the program's file; empty when unknown
    int exitCode = -1;       // a bot that ended by itself: its exit code
    std::string lastErrLine = {}; // its last line on standard error in the move, if kept
    bool stream = false;
    std::string partialLine = {}; // a stream bot: what it wrote without a line end
    std::string refusedCall = {};       // a system call its box refused it in the move
    std::string hiddenInterpreter = {}; // a boxed bot's interpreter that its box does not show
    std::string chatter = {};           // a stream bot: its last line without a move in the move
    int signal = 0;                     // the signal that ended it, if one did
};

// The hint for a failed move, or empty when nothing can be said.
std::string hintFor(const HintFacts& facts);

// The interpreter a command line names by a path outside the system's
// folders (a pyenv shim, a virtual environment in a home folder): a box
// shows the system's interpreters, not that one. Empty otherwise.
std::string interpreterOutsideSystem(const std::vector<std::string>& argv);
// What to do about such an interpreter.
std::string hiddenInterpreterHint(const std::string& interpreter);

// The first bytes of the program a command line starts, found as exec finds
// it (paths from `base`); empty when it cannot be read.
std::string programHead(const std::string& commandLine, const std::string& base);

} // namespace vorlen
