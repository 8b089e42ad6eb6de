#pragma once

#include "BotCopy.h"
#include "LadderPaths.h"
#include "LadderStore.h"

#include <optional>
#include <string>

namespace vorlen::ladder {

// A bot's next version as handed in: from the command line or an upload.
struct VersionRequest {
    std::string bot;
    std::string path;    // a folder, or a zip or tar.gz of one
    std::string command; // empty: what the files make obvious
    std::string build;   // empty: what the files make obvious
    std::string now;
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
