#pragma once

#include <string>

namespace vorlen {

// What a box is made with: bubblewrap, and our launcher that runs inside.
struct SandboxPlan {
    std::string bwrap;
    std::string launcher;
    // Hold boxes with control groups where they can be made; without, the
    // closest limits of each process stand in.
    bool controlGroups = true;
};

// The plan found on this machine: bubblewrap in PATH, the launcher installed
// beside the referee or in its build. Either may be empty.
SandboxPlan findSandbox();

} // namespace vorlen
