#pragma once

#include "BotEnvironment.h"
#include "ExternalPlayer.h"
#include "IVorlenLogic.h"
#include "SeatPlayer.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

inline constexpr int kExternalPlayer = 1;
inline constexpr int kBuiltInPlayer = 2;
// A person at the window: only the window can seat one.
inline constexpr int kPersonPlayer = 3;
// A built-in search player, of the level its name gives.
inline constexpr int kSearchPlayer = 4;

// The kind above that seats `player`: a program (plain or stream), the
// built-in player, a search player or a person.
int playerKindOf(const SeatPlayer& player);

// Kind 1: an external program player running `program`; every other kind:
// the built-in greedy player (the text is ignored). Never null.
std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program);

// A program's player: "stream:COMMAND" stays up for the match and talks on
// its standard input and output; any other command line is started afresh
// for every move and talks through "vorla.in" and "vorla.out". A
// ",dir=PATH" after either names the bot's own folder.
std::unique_ptr<ExternalPlayer> createProgramPlayer(const std::string& command, BotSettings settings);
std::unique_ptr<ExternalPlayer> createProgramPlayer(const SeatPlayer& player, BotSettings settings);

// How a program seat will run, to check it before any match.
struct ProgramCheck {
    std::string base;                  // where its relative paths start
    std::string botPath = kSystemPath; // the PATH the bot gets
    bool boxed = false;                // whether it runs in a box
    // In a box: the run's outputs, and the players it may meet, whose
    // folders it must not hold.
    std::vector<std::string> outputs;
    std::vector<SeatPlayer> others;
};
// Why a program player's command line cannot run: a quote left open, no
// such executable ("cannot run 'x': ..."), a ",dir=" that is no folder, or
// in a box what its box cannot show it (an own folder that cannot be one, a
// path that resolves outside it, an output that holds it, a folder that
// holds another player's). None when it can.
std::optional<std::string> programProblem(const SeatPlayer& player, const ProgramCheck& check);
// A seat's player as it runs from `base`: the paths its command line names
// (as the box anchors them) and its own folder made absolute, so that it
// starts the same program from anywhere. Other seats as they are.
std::string playerAsRun(const SeatPlayer& player, const std::string& base);

// The folder a program player's box shows it as its own (its real path),
// as the check's base and PATH find it; empty for none.
std::string boxFolderOf(const SeatPlayer& player, const ProgramCheck& check);
// The same, with relative paths from `base` and the system's PATH, plain.
std::optional<std::string> programProblem(const std::string& command, const std::string& base);

} // namespace vorlen
