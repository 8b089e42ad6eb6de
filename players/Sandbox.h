#pragma once

#include <string>
#include <vector>

namespace vorlen {

// What a sandboxed bot sees: the whole file system read-only, a private
// /tmp, no network, its own process ids, no capabilities, and one writable
// directory (its exchange directory, also its working directory).
struct SandboxPlan {
    std::string bwrap;                 // the bubblewrap program
    std::string writableDir;           // absolute
    std::vector<std::string> hidden;   // covered by an empty file system (other seats, other matches)
};

// The bubblewrap command line that runs `argv` under the plan. Files that
// the command line names inside a hidden place (a bot kept under /tmp) stay
// visible, read-only, with the rest of their directory.
std::vector<std::string> sandboxCommand(const SandboxPlan& plan, const std::vector<std::string>& argv);

// Whether bubblewrap can run a program with this isolation here. On failure
// `why` tells what is missing and how to get it.
bool probeSandbox(const std::string& bwrap, std::string& why);

// The bubblewrap program in PATH, or empty.
std::string findBubblewrap();

} // namespace vorlen
