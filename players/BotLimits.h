#pragma once

#include <cstdint>
#include <string>

namespace vorlen {

// What one bot process may use. Set in the child before the bot runs, so they
// hold for everything it starts too (each process on its own).
struct BotLimits {
    std::uint64_t memoryMiB = 2048;   // data segment and heap; room for Python or a JVM; 0: none
    std::uint64_t cpuSeconds = 10;    // CPU time; the 3 s wall limit usually comes first
    std::uint64_t fileSizeMiB = 64;   // the largest file it may write, vorla.out included
    std::uint64_t openFiles = 256;
    std::uint64_t logBytes = 1 << 20; // what is kept of its standard error per log file
};

// The limit behind a bot's end, in words ("CPU limit"), or empty when none
// was hit: a SIGXCPU or SIGXFSZ, or a SIGKILL at the CPU hard limit.
// `signal` is the signal that ended it (0 for none).
std::string limitBehind(int signal, double cpuSeconds, const BotLimits& limits);

} // namespace vorlen
