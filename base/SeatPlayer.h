#pragma once

#include <optional>
#include <string>

namespace vorlen {

// How the built-in player is named on command lines, records and replays.
inline constexpr const char* kBuiltInName = "stupid";
// A person at the window: only the window can seat one.
inline constexpr const char* kPersonName = "person";
inline constexpr const char* kStreamPrefix = "stream:";
inline constexpr const char* kOwnDirSuffix = ",dir=";
// A built-in search player, by level: "search:1" to "search:5".
inline constexpr const char* kSearchSeatPrefix = "search:";
inline constexpr int kSearchSeatLevels = 5;
inline constexpr bool isSearchLevel(int level) { return level >= 1 && level <= kSearchSeatLevels; }

// Who plays a seat, as every seat option, dialog, record and replay names
// it: "stupid", "search:LEVEL", "person", a program's command line, or "stream:" before one
// for a program that stays up for the match; ",dir=PATH" after a command
// line names the folder that is the bot's own (what its box shows it
// besides the system).
struct SeatPlayer {
    enum class Kind { BuiltIn, Person, Program, Stream, Search };
    Kind kind = Kind::BuiltIn;
    std::string command; // a program's command line proper
    std::string ownDir;  // empty: found from the command line
    // ",dir=" with nothing after it: kept, so that it reads back the same
    // and a check can refuse it.
    bool blankOwnDir = false;
    // A search player's level as named; 0 for a level that is none (what
    // came after "search:" is then kept in `command`, for the check to show).
    int level = 0;

    static constexpr bool programKind(Kind kind) { return kind == Kind::Program || kind == Kind::Stream; }
    bool isProgram() const { return programKind(kind); }
    // The form it was read from, which reads back to the same.
    std::string text() const;
    bool operator==(const SeatPlayer&) const = default;
};

SeatPlayer parseSeatPlayer(const std::string& text);

// Why a search player's name names no player ("search:9"); none for any
// other seat.
std::optional<std::string> searchLevelProblem(const SeatPlayer& player);

// The command line as a person reads it, without "stream:" and ",dir=".
inline std::string commandOf(const std::string& text) { return parseSeatPlayer(text).command; }

// A player as people name it wherever it is shown: a program's file name
// ("./bots/v7 --fast": "v7"), or "stupid" for the built-in player; at most
// kShownNameBytes of it, cut with an ellipsis.
std::string playerName(const std::string& text);
inline constexpr std::size_t kShownNameBytes = 64;
inline constexpr std::size_t kShownCommandBytes = 4096;
// A command line as it is shown: whole in a tooltip (at most
// kShownCommandBytes), or shorter in a line of text; cut with an ellipsis.
std::string shownCommand(const std::string& text, std::size_t most = kShownCommandBytes);

} // namespace vorlen
