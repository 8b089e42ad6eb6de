#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorlen {

// The control group of one box: how many tasks and how much memory the box
// may hold at once, and what it has run into. Made where this
// process may make one: as root on cgroup v1 or v2, or in a cgroup v2
// subtree delegated to its user (as systemd delegates a desktop session's).
class BoxCgroup {
public:
    struct Limits {
        std::uint64_t tasks = 0;     // processes and threads; 0: none
        std::uint64_t memoryMiB = 0; // 0: none
        std::uint64_t cpus = 0;      // cores' worth of processor time; 0: no cap
    };
    // How often the box has hit each limit so far.
    struct Counters {
        long tasks = 0;
        long memory = 0;
    };

    // None where this process cannot make one; `why` says what is missing.
    static std::unique_ptr<BoxCgroup> create(const Limits& limits, std::string& why);
    ~BoxCgroup();
    BoxCgroup(const BoxCgroup&) = delete;
    BoxCgroup& operator=(const BoxCgroup&) = delete;

    const char* version() const { return v2_ ? "cgroup v2" : "cgroup v1"; }
    // Open "cgroup.procs" files: a process that writes "0" to each joins the box.
    const std::vector<int>& joinFds() const { return joinFds_; }
    Counters counters() const;

private:
    BoxCgroup() = default;
    std::string file(const char* controller, const char* name) const;

    bool v2_ = false;
    std::vector<std::string> dirs_; // v1: one per controller (pids, memory); v2: one
    std::string cpuDir_;            // v1: where the cpu controller caps it, if it is there
    std::vector<int> joinFds_;
};

} // namespace vorlen
