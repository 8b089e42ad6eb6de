#pragma once

#include "BotGroups.h"
#include "BotLimits.h"
#include "Sandbox.h"

#include <chrono>
#include <string>

namespace vorlen::ladder {

// What a build may use: more room and time than a move, the same box.
struct BuildSettings {
    SandboxPlan plan; // a build runs in a box or not at all
    BotLimits limits{2048, 128, 512, 300, 256, 1024, 1 << 20, 1};
    std::chrono::seconds timeLimit{300};
};

struct BuildOutcome {
    bool built = false;
    std::string reason; // why it was not
};

// Builds a version: in a box of its own (no network, its limits), the
// `source` folder shown read-only and copied into the box's seat folder,
// `command` run there by the shell, its output (standard output and error)
// kept in the file `logPath`. What the seat folder then holds is copied to
// `built` (which must not exist) through the same handle-based copy that
// took the bot in, and sealed: a build that leaves a link, a device or
// more than the caps is refused.
BuildOutcome buildVersion(const std::string& source, const std::string& command, const std::string& built,
                          const std::string& logPath, const BuildSettings& settings, BotGroups& groups);

} // namespace vorlen::ladder
