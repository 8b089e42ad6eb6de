#pragma once

#include "ExternalPlayer.h"
#include "Field.h"

#include <optional>
#include <string>

namespace vorlen {

// Why a program player cannot play, found by starting it once on `board`
// as it will play every match (its box, limits and environment): a file
// bot's answer, or a stream bot's first answer before its input is closed.
// A missing file, a misspelt script, a missing interpreter, a failed import
// or a virtual machine that cannot start show here, with the bot's own last
// line on standard error. None when it answered with a colour, whichever,
// or ran out of time (the matches judge its time).
std::optional<std::string> preflightProblem(const std::string& player, BotSettings settings, const Field& board);

// The last line a bot wrote on standard error in a move's log, without the
// referee's own notes; empty when it wrote none.
std::string lastBotLine(const std::string& log);

} // namespace vorlen
