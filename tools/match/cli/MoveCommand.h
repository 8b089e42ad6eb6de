#pragma once

#include "RecordCommands.h"

#include <string>
#include <vector>

namespace vorlen::match {

// `vorlen-match move POSITION [PLAYER] [--seat 1|2] [--save-input FILE]
// [--move-time MS] [--no-sandbox]`: one move of PLAYER on a position
// (REPLAY@K, seed:S:K, map:FILE, input:FILE) as its seat sees it, run as a
// match runs it (in its box where one can be made), with its answer, the
// replay's answer, its time, its standard error and how to fix it;
// --save-input writes the board exactly as the bot reads it. Exit 0 when it
// named a number, 1 when it named none, 2 for a bad command line.
CommandOutcome moveCommand(const std::vector<std::string>& arguments);

} // namespace vorlen::match
