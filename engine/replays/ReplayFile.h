#pragma once

#include "Replay.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlen {

inline constexpr const char* kReplayFormat = "vorlen-replay";
// Version 2 keeps each move's standard error; version 1 files still open.
inline constexpr int kReplayVersion = 2;
inline constexpr int kOldestReplayVersion = 1;
// The longest match the rules allow (some 15,000 turns before a stall) takes
// a few megabytes; a bigger file is not a replay of ours.
inline constexpr std::uint64_t kReplaySizeLimit = 16 << 20;

std::string replayJson(const Replay& replay);

// Reads the JSON of a replay: false, with one line naming the problem (and
// the turn), when it is not JSON, not a replay, of another version, or has a
// field out of place. Its moves are not played: see checkReplay.
bool parseReplay(std::string_view text, Replay& replay, std::string& error);

// Reads, parses and checks a replay file.
bool readReplayFile(const std::string& path, Replay& replay, std::string& error);
// Writes it atomically: a reader never sees half a replay.
bool writeReplayFile(const std::string& path, const Replay& replay, std::string& error);

} // namespace vorlen
