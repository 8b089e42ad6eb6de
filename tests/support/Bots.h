#pragma once

#include "support/TempDir.h"

#include <filesystem>
#include <string>

namespace vorlen::testing {

// Writes an executable shell script bot into the directory.
inline std::string writeBot(const TempDir& dir, const std::string& name, const std::string& body)
{
    const std::string path = dir.write(name, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
    return path;
}

} // namespace vorlen::testing
