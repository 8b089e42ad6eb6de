#pragma once

#include "ExternalPlayer.h"
#include "IVorlenLogic.h"

#include <memory>
#include <optional>
#include <string>

namespace vorlen {

inline constexpr int kExternalPlayer = 1;
inline constexpr int kBuiltInPlayer = 2;
// How the built-in player is named on command lines, records and replays.
inline constexpr const char* kBuiltInName = "stupid";
// A person at the window: only the window can seat one.
inline constexpr int kPersonPlayer = 3;
inline constexpr const char* kPersonName = "person";

// Kind 1: an external program player running `program`; every other kind:
// the built-in greedy player (the text is ignored). Never null.
std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program);

// A program's player: "stream:COMMAND" stays up for the match and talks on
// its standard input and output; any other command line is started afresh
// for every move and talks through "vorla.in" and "vorla.out".
std::unique_ptr<ExternalPlayer> createProgramPlayer(const std::string& command, BotSettings settings);
// The command line proper, without "stream:".
std::string programOf(const std::string& command);
// Why a program player's command line cannot run, its paths taken from
// `base`: a quote left open, or no such executable ("cannot run 'x': ...").
// None when it can.
std::optional<std::string> programProblem(const std::string& command, const std::string& base);

} // namespace vorlen
