#pragma once

#include "support/TempDir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <thread>
#include <vector>

namespace vorlen::testing {

// The numeric entries of /proc, one per process. Processes come and go while
// it is read: a listing that fails on the way is read again, never thrown.
inline std::vector<std::filesystem::path> processDirectories()
{
    std::vector<std::filesystem::path> dirs;
    for (int attempt = 0; attempt < 5; ++attempt) {
        dirs.clear();
        std::error_code error;
        for (std::filesystem::directory_iterator it("/proc", error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.find_first_not_of("0123456789") == std::string::npos)
                dirs.push_back(it->path());
        }
        if (!error)
            break;
    }
    return dirs;
}

// Processes of the group that are still alive (zombies are not), waiting up
// to 200 ms for the ones just killed to go.
inline int liveProcessesInGroup(pid_t group)
{
    int live = 0;
    for (int attempt = 0; attempt < 20; ++attempt) {
        live = 0;
        for (const auto& dir : processDirectories()) {
            std::istringstream stat(readFile((dir / "stat").string()));
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

namespace vorlen::testing {

// Live processes (zombies are not) whose command line holds `marker`,
// waiting up to `patience` for the ones just killed to go. The whole system
// is searched and tests run side by side: a marker belongs to one test.
inline int liveProcessesWith(const std::string& marker,
                             std::chrono::milliseconds patience = std::chrono::milliseconds(500))
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        int live = 0;
        for (const auto& dir : processDirectories()) {
            std::string cmdline = readFile((dir / "cmdline").string());
            std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
            const std::string stat = readFile((dir / "stat").string());
            const std::size_t close = stat.rfind(')');
            const bool zombie = close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
            if (!zombie && cmdline.find(marker) != std::string::npos)
                ++live;
        }
        if (live == 0 || std::chrono::steady_clock::now() >= deadline)
            return live;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Kills, by pid, the live processes whose command line holds `marker`: for
// a test that killed a program outright, whatever of it may be left (a box
// it was starting). How many there were.
inline int killProcessesWith(const std::string& marker)
{
    int killed = 0;
    for (const auto& dir : processDirectories()) {
        std::string cmdline = readFile((dir / "cmdline").string());
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        const pid_t pid = static_cast<pid_t>(std::atol(dir.filename().c_str()));
        if (pid != ::getpid() && cmdline.find(marker) != std::string::npos && ::kill(pid, SIGKILL) == 0)
            ++killed;
    }
    return killed;
}

} // namespace vorlen::testing
