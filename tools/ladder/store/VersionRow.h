#pragma once

#include <cstdint>
#include <string>

namespace vorlen::ladder {

// A bot's version as the ladder keeps it.
struct VersionRow {
    std::int64_t id = 0;
    std::string bot;
    int number = 0;
    std::string folder;  // relative to the ladder's folder
    std::string command; // run in the version's folder
    std::string build;   // its build's command line; empty: nothing to build
    std::string state;   // waiting, building, checking, ready, failed
    std::string reason;  // why it failed
    std::string added;
};

// "NAME.vN": how the ladder names a version as a player.
inline std::string versionName(const VersionRow& version) { return version.bot + ".v" + std::to_string(version.number); }

} // namespace vorlen::ladder
