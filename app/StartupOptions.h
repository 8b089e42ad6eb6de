#pragma once

#include "BotEnvironment.h"
#include "Field.h"
#include "Replay.h"

#include <chrono>
#include <memory>

#include <QStringList>

#include <optional>
#include <string>
#include <vector>

// What the command line asks of the window, in the order it asks it.
struct StartupAction {
    enum class Type { SetPlayer, LoadMap, Sandbox, Seed, Game, Replay, SaveReplay, Chart, Palette, BotLogs, MoveTime,
                      NoTimeLimit, Boards, PlayFrom, BotEnv, Help, Version, Evaluation,
                      Unknown, MissingValue };
    Type type;
    int seat = 0;         // SetPlayer: 0 for "--first", 1 for "--second"
    int kind = 0;         // SetPlayer: the player factory's kind
    std::string value;    // the program's command line, a path or a number, in the locale's encoding

    bool operator==(const StartupAction&) const = default;
};

// Scans every argument, the program path included. "--first" / "--second"
// take the next argument as a player ("stupid": built-in, "human": no change,
// anything else: a program's command line); "--map" takes a map path;
// "--sandbox" runs every program in a sandbox. "--seed S" and "--game K"
// choose the runner's board, "--replay FILE" opens a replay, "--save-replay
// FILE" keeps the live match's, "--chart" shows the score chart, "--palette
// NAME" picks the board's colours, "--bot-logs DIR" keeps each bot's
// standard error there, "--move-time MS" sets a move's time limit and
// "--no-time-limit" lifts it, "--boards FILE" takes the board from a list,
// "--play-from K" plays on after turn K of the "--replay"; "--help" and "--version" print and open no window. A value is never read as an
// option; an option with no value ends the scan with a MissingValue action
// holding it, which the window refuses. Any other argument that
// starts with "--" (a mistyped option) is an Unknown action holding it; the
// rest (Qt's own "-platform offscreen", stray words) pass silently.
std::vector<StartupAction> scanStartupOptions(const QStringList& arguments);

// The options the window knows, without their dashes: for suggesting the
// one meant by a mistyped one.
std::vector<std::string> startupOptionNames();

// What "vorlen --help" prints.
std::string helpText();

// What is wrong with the options the window cannot do without: a number
// that is not one, a palette we do not have, a time limit out of range or
// lifted at once. Empty when nothing is.
std::string startupProblem(const std::vector<StartupAction>& actions);

// How many of the "--replay"'s turns "--play-from K" plays before going on
// (K + 1: it goes on after turn K; "start", none); none without it. The
// options must have no problem.
std::optional<int> playFromTurns(const std::vector<StartupAction>& actions);

// The value of the last action of a type, if any.
std::optional<std::string> lastValue(const std::vector<StartupAction>& actions, StartupAction::Type type);
bool hasAction(const std::vector<StartupAction>& actions, StartupAction::Type type);

// The board "--seed" / "--game" ask for, with its label as the runner gives
// it ("seed:S:K" or "rand:K"), or "--boards FILE"'s board K (--game K, 0
// without it; the list cycles); none when none of them is given.
struct ChosenBoard {
    vorlen::Field field;
    std::string label;
    // A listed replay position: the match plays on after its first turns.
    std::shared_ptr<const vorlen::Replay> startReplay;
    int startTurns = 0;
};
std::optional<ChosenBoard> chosenBoard(const std::vector<StartupAction>& actions);

// A program seat's time for a move: "--move-time", the usual limit, or with
// "--no-time-limit" none (kNoTimeLimit). The options must have no problem.
std::chrono::milliseconds chosenMoveTime(const std::vector<StartupAction>& actions);
// What --bot-env options pass on to the bots, in order.
std::vector<vorlen::EnvPass> chosenBotEnv(const std::vector<StartupAction>& actions);
