#include "BoxCgroup.h"

#include "CgroupPlaces.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/random.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vorlen {
namespace {

const char* const kV1Controllers[] = {"pids", "memory"};

// The value after `key` in a "key value" file such as pids.events; 0 when absent.
long counterIn(const std::string& text, const std::string& key)
{
    std::istringstream lines(text);
    std::string name;
    long value = 0;
    while (lines >> name >> value)
        if (name == key)
            return value;
    return 0;
}

std::string uniqueName()
{
    unsigned long long tag = 0;
    if (::getrandom(&tag, sizeof tag, 0) != sizeof tag)
        tag = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return "vorlen-box-" + std::to_string(::getpid()) + "-" + std::to_string(tag);
}

// The v2 folder box groups go into: this process's own, with the pids and
// memory controllers handed down. A group with processes of its own cannot
// hand them down, so the referee first moves itself into a leaf beside.
std::string v2Parent(const std::string& mountPoint, std::string& why)
{
    std::string own = mountPoint + ownPath("");
    const std::string leaf = "/vorlen-referee-" + std::to_string(::getpid());
    if (own.size() > leaf.size() && own.compare(own.size() - leaf.size(), leaf.size(), leaf) == 0)
        own.resize(own.size() - leaf.size());
    const std::string available = " " + readSmallFile(own + "/cgroup.controllers");
    if (available.find(" pids") == std::string::npos || available.find(" memory") == std::string::npos) {
        why = "the pids and memory controllers are not delegated to " + own;
        return {};
    }
    if (writeSmallFile(own + "/cgroup.subtree_control", "+pids +memory"))
        return own;
    if (errno != EBUSY) {
        why = "cannot hand controllers down in " + own + ": " + std::strerror(errno);
        return {};
    }
    if ((::mkdir((own + leaf).c_str(), 0755) != 0 && errno != EEXIST) || !writeSmallFile(own + leaf + "/cgroup.procs", "0")
        || !writeSmallFile(own + "/cgroup.subtree_control", "+pids +memory")) {
        why = "cannot make a leaf for the referee in " + own + ": " + std::strerror(errno);
        return {};
    }
    return own;
}

// Caps a new box group's processor time at `cpus` cores; the v1 group made
// for it, if one was. Where no cpu controller is at hand, boxes go uncapped.
std::string capProcessorTime(const std::string& v2Dir, const std::vector<Mount>& mounts, const std::string& name,
                             std::uint64_t cpus)
{
    // The scheduler's usual period; the box may run `cpus` periods' worth in each.
    constexpr std::uint64_t kPeriodMicros = 100000;
    const std::string quota = std::to_string(cpus * kPeriodMicros);
    if (!v2Dir.empty()) {
        writeSmallFile(v2Dir.substr(0, v2Dir.rfind('/')) + "/cgroup.subtree_control", "+cpu");
        writeSmallFile(v2Dir + "/cpu.max", quota + " " + std::to_string(kPeriodMicros));
        return {};
    }
    for (const Mount& mount : mounts) {
        if (mount.v2 || mount.controllers.find(",cpu,") == std::string::npos)
            continue;
        const std::string dir = mount.point + ownPath("cpu") + "/" + name;
        if (::mkdir(dir.c_str(), 0755) != 0)
            return {};
        if (!writeSmallFile(dir + "/cpu.cfs_period_us", std::to_string(kPeriodMicros))
            || !writeSmallFile(dir + "/cpu.cfs_quota_us", quota)) {
            ::rmdir(dir.c_str());
            return {};
        }
        return dir;
    }
    return {};
}

} // namespace

std::unique_ptr<BoxCgroup> BoxCgroup::create(const Limits& limits, std::string& why)
{
    std::unique_ptr<BoxCgroup> group(new BoxCgroup);
    const std::vector<Mount> mounts = cgroupMounts();
    const std::string name = uniqueName();
    // v1 where it holds the controllers, as on hybrid systems; v2 otherwise.
    for (const char* controller : kV1Controllers) {
        for (const Mount& mount : mounts)
            if (!mount.v2 && mount.controllers.find("," + std::string(controller) + ",") != std::string::npos)
                group->dirs_.push_back(mount.point + ownPath(controller) + "/" + name);
    }
    if (group->dirs_.size() != std::size(kV1Controllers)) {
        group->dirs_.clear();
        group->v2_ = true;
        for (const Mount& mount : mounts) {
            if (!mount.v2)
                continue;
            const std::string parent = v2Parent(mount.point, why);
            if (parent.empty())
                return nullptr;
            group->dirs_.push_back(parent + "/" + name);
            break;
        }
        if (group->dirs_.empty()) {
            why = "no cgroup hierarchy holds the pids and memory controllers";
            return nullptr;
        }
    }
    std::vector<std::string> made;
    for (const std::string& dir : group->dirs_) {
        if (::mkdir(dir.c_str(), 0755) != 0) {
            why = "cannot make " + dir + ": " + std::strerror(errno);
            group->dirs_ = made;
            return nullptr;
        }
        made.push_back(dir);
    }
    const std::string tasks = limits.tasks == 0 ? "max" : std::to_string(limits.tasks);
    const std::string memory = limits.memoryMiB == 0 ? "max" : std::to_string(limits.memoryMiB << 20);
    bool limited = writeSmallFile(group->file("pids", "pids.max"), tasks);
    if (group->v2_) {
        limited = limited && writeSmallFile(group->file("memory", "memory.max"), memory);
        writeSmallFile(group->file("memory", "memory.swap.max"), "0"); // absent without swap accounting
    } else if (limits.memoryMiB != 0) {
        limited = limited && writeSmallFile(group->file("memory", "memory.limit_in_bytes"), memory);
        writeSmallFile(group->file("memory", "memory.memsw.limit_in_bytes"), memory);
    }
    if (!limited) {
        why = "cannot set the limits of " + group->dirs_.front() + ": " + std::strerror(errno);
        return nullptr;
    }
    if (limits.cpus > 0)
        group->cpuDir_ = capProcessorTime(group->v2_ ? group->dirs_.front() : std::string(), mounts, name, limits.cpus);
    std::vector<std::string> joined = group->dirs_;
    if (!group->cpuDir_.empty())
        joined.push_back(group->cpuDir_);
    for (const std::string& dir : joined) {
        const int fd = ::open((dir + "/cgroup.procs").c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            why = "cannot open " + dir + "/cgroup.procs: " + std::strerror(errno);
            return nullptr;
        }
        group->joinFds_.push_back(fd);
    }
    return group;
}

BoxCgroup::~BoxCgroup()
{
    for (const int fd : joinFds_)
        ::close(fd);
    if (!cpuDir_.empty())
        for (int attempt = 0; attempt < 200 && ::rmdir(cpuDir_.c_str()) != 0 && errno == EBUSY; ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    // The last processes may still be on their way out.
    for (const std::string& dir : dirs_)
        for (int attempt = 0; attempt < 200 && ::rmdir(dir.c_str()) != 0 && errno == EBUSY; ++attempt)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string BoxCgroup::file(const char* controller, const char* name) const
{
    if (v2_)
        return dirs_.front() + "/" + name;
    for (std::size_t i = 0; i < std::size(kV1Controllers); ++i)
        if (std::strcmp(kV1Controllers[i], controller) == 0)
            return dirs_[i] + "/" + name;
    return {};
}

BoxCgroup::Counters BoxCgroup::counters() const
{
    Counters counters;
    counters.tasks = counterIn(readSmallFile(file("pids", "pids.events")), "max");
    counters.memory = v2_ ? counterIn(readSmallFile(file("memory", "memory.events")), "oom_kill")
                          : counterIn(readSmallFile(file("memory", "memory.oom_control")), "oom_kill");
    return counters;
}

} // namespace vorlen