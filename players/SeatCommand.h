#pragma once

#include <string>

namespace vorlen {

// A program's command line as a seat option gives it: "stream:" before it
// makes it a stream bot, ",dir=PATH" after it names the folder that is the
// bot's own (what its box shows it besides the system).
struct SeatCommand {
    std::string command; // the command line proper
    std::string ownDir;  // empty: found from the command line
    bool stream = false;
};

inline constexpr const char* kOwnDirSuffix = ",dir=";

SeatCommand parseSeatCommand(const std::string& text);

// The command line as a person reads it, without "stream:" and ",dir=".
inline std::string commandOf(const std::string& text) { return parseSeatCommand(text).command; }

} // namespace vorlen
