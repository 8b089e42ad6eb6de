#pragma once

#include "VorlenLogicTeam01.h"
#include "support/TempDir.h"

#include <filesystem>
#include <string>

namespace vorlen::testing {

// Writes an executable shell script bot into the directory.
inline std::string writeBot(const TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.write(name, "#!/bin/sh\n" + body + "\n");
    // Readable and runnable by all: a boxed bot of a root referee runs as nobody.
    std::filesystem::permissions(path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read
                                           | std::filesystem::perms::group_exec | std::filesystem::perms::others_read
                                           | std::filesystem::perms::others_exec);
    return path;
}

// A bot that plays a legal colour for two moves and crashes on its third,
// saying so on standard error: as the first seat, it fails in turn 4.
inline constexpr const char* kCrashesOnItsThirdMove =
    "n=$(cat count 2>/dev/null || echo 0); n=$((n+1)); echo $n > count\n"
    "[ $n -ge 3 ] && { echo \"broke at move $n\" >&2; exit 1; }\n"
    "own=$(head -c1 vorla.in); their=$(tail -c2 vorla.in | head -c1)\n"
    "for c in 1 2 3 4 5 6; do [ $c != $own ] && [ $c != $their ] && break; done\n"
    "echo $c > vorla.out";

// Settings of an external player with the default limits and no sandbox.
inline VorlenLogicTeam01::Settings exchangeSettings(std::string dir, std::string log, Trace trace)
{
    VorlenLogicTeam01::Settings settings;
    settings.exchangeDir = std::move(dir);
    settings.stderrPath = std::move(log);
    settings.trace = trace;
    return settings;
}

} // namespace vorlen::testing
