#pragma once

#include "BotGroups.h"
#include "LadderStore.h"
#include "PairPlay.h"
#include "VersionBuild.h"

#include <string>
#include <vector>

namespace vorlen::ladder {

// How a version came in: ready to play, or failed with the reason; or cut
// short by a stop (it waits again then).
struct IntakeOutcome {
    bool ready = false;
    bool interrupted = false;
    std::string reason;
    std::vector<std::string> checkRecords; // JSON lines
    int checkFailures = 0;                 // check matches it failed in
    std::string error;                     // the referee's own failure
};

// The built-in player's name in a check's records.
inline constexpr const char* kCheckOpponent = "stupid";

// Builds a version (`root` absolute) into its folder's "built" and checks
// it: both seatings of one board against the built-in player, which it must
// play to their ends. Nothing of an earlier, unfinished intake is kept.
// Killing `groups` cuts it short.
IntakeOutcome takeInVersion(const VersionRow& version, const std::string& root, const BuildSettings& build,
                            const PlaySettings& play, BotGroups& groups, BoxPool& boxes);

} // namespace vorlen::ladder
