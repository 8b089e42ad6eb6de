#pragma once

#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <thread>

namespace vorlen::testing {

// Processes of the group that are still alive (zombies are not), waiting up
// to 200 ms for the ones just killed to go.
inline int liveProcessesInGroup(pid_t group)
{
    int live = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        live = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            std::istringstream stat(readFile((entry.path() / "stat").string()));
            std::string pid, command;
            char state = 0;
            pid_t pgrp = 0, ppid = 0;
            // The name is in parentheses and may hold blanks; bots' names do not.
            if (stat >> pid >> command >> state >> ppid >> pgrp && pgrp == group && state != 'Z')
                ++live;
        }
        if (live == 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return live;
}

} // namespace vorlen::testing
