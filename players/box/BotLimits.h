#pragma once

#include <chrono>
#include <cstdint>

namespace vorlen {

// A stream bot stays up for its whole match: its CPU limit is this many
// moves' worth.
inline constexpr std::uint64_t kStreamCpuMoves = 100;

// What a bot may use. Memory and tasks count the whole box where a control
// group holds it, each process on its own otherwise; the rest holds for each
// of its processes.
struct BotLimits {
    std::uint64_t memoryMiB = 2048;   // room for Python or a JVM; 0: none
    std::uint64_t tasks = 64;         // processes and threads at once, in a box; 0: none
    std::uint64_t diskMiB = 64;       // a box's seat folder with /tmp, and its /dev/shm
    std::uint64_t cpuSeconds = 10;    // CPU time; the 3 s wall limit usually comes first
    std::uint64_t fileSizeMiB = 64;   // the largest file it may write, vorla.out included
    std::uint64_t openFiles = 256;
    std::uint64_t logBytes = 1 << 20; // what is kept of its standard error per log file
    std::uint64_t cpus = 1;           // cores' worth of processor time a box may take; 0: no cap
};

// A bot's CPU limit in seconds: a stream bot's covers a hundred moves, a
// backstop behind the time limit of every move.
inline std::uint64_t cpuLimitSeconds(const BotLimits& limits, bool stream)
{
    return limits.cpuSeconds * (stream ? kStreamCpuMoves : 1);
}

} // namespace vorlen
