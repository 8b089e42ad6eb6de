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
