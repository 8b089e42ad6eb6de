#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlen {

// A file a bot left in its seat folder: its path there and its bytes.
struct SeatFile {
    std::string path;
    std::string bytes;
    bool operator==(const SeatFile&) const = default;
};

// What a file bot's seat folder held after a move, besides the exchange
// files, as replays keep it to put back when play goes on from there.
struct SeatFiles {
    std::vector<SeatFile> files; // by path
    std::uint64_t cutBytes = 0;  // not kept: past the cap, or in what cannot be kept
    bool operator==(const SeatFiles&) const = default;
};

// What is kept of a seat folder after one move, at most.
inline constexpr std::size_t kSeatFilesBytes = 64 * 1024;
// Files kept at most, and how deep in folders.
inline constexpr std::size_t kSeatFilesCount = 256;
inline constexpr int kSeatFilesDepth = 8;

// The files in one line for people: "count: \"2\", state/memo (300 bytes)",
// a short text shown whole, and what was cut.
std::string seatFilesLine(const SeatFiles& files);

// Whether a kept path can be put back in a seat folder and stay in it:
// relative, at most 255 bytes, its parts neither empty nor "." nor "..",
// no NUL. Files read from a replay are checked with it.
bool isSoundSeatPath(const std::string& path);

} // namespace vorlen
