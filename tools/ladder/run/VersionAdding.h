#pragma once

#include "BotCopy.h"
#include "LadderPaths.h"
#include "LadderStore.h"

#include <optional>
#include <string>

namespace vorlen::ladder {

// What one user may hand in.
struct Quota {
    std::int64_t bots = 5;             // at once, retired ones aside
    std::int64_t versionsADay = 20;
    std::int64_t bytes = 500LL << 20;  // of all their versions' files
};

// A bot's next version as handed in: from the command line or an upload.
struct VersionRequest {
    std::string bot;
    std::string path;    // a folder, or a zip or tar.gz of one
    std::string command; // empty: what the files make obvious
    std::string build;   // empty: what the files make obvious
    std::string now;
    // Who hands it in: none from the command line (the organiser, whose
    // bots have no owner), else a user, who may add to their own bots only,
    // within their quota, and whose first version of a name makes it theirs.
    // An admin may add to any bot and has no quota.
    std::optional<UserRow> user;
    Quota quota;
    std::string dayAgo; // `now` a day before, for the quota
};

struct VersionAdded {
    std::optional<VersionRow> version; // none: refused
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::string error; // why it was refused
};

// Copies the version's files into the ladder's storage, sealed, and enters
// it as waiting to be built and checked; a paused bot plays again. One at a
// time (a lock in the storage); what a killed add left of the same
// version is cleared first. Refused, leaving nothing: a bad name, a retired
// bot, files that cannot be taken, no command to be found.
VersionAdded addBotVersion(const LadderPaths& ladder, LadderStore& store, const VersionRequest& request,
                           const CopyCaps& caps = CopyCaps{});

} // namespace vorlen::ladder
