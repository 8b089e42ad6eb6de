#include "CgroupPlaces.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vorlen {

std::string readSmallFile(const std::string& path)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() ? readUpTo(file.get(), 64 * 1024) : std::string();
}

bool writeSmallFile(const std::string& path, const std::string& text)
{
    const FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    return file.valid() && writeFully(file.get(), text) == 0;
}

std::vector<Mount> cgroupMounts()
{
    std::vector<Mount> mounts;
    std::istringstream lines(readSmallFile("/proc/self/mountinfo"));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t dash = line.find(" - ");
        if (dash == std::string::npos)
            continue;
        std::istringstream before(line.substr(0, dash));
        std::istringstream after(line.substr(dash + 3));
        std::string id, parent, device, root, point, type, source, options;
        before >> id >> parent >> device >> root >> point;
        after >> type >> source >> options;
        if (type == "cgroup2")
            mounts.push_back({point, "", true});
        else if (type == "cgroup")
            mounts.push_back({point, "," + options + ",", false});
    }
    return mounts;
}

std::vector<Place> ownPlaces()
{
    std::vector<Place> places;
    std::istringstream lines(readSmallFile("/proc/self/cgroup"));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (first != std::string::npos && second != std::string::npos)
            places.push_back({line.substr(first + 1, second - first - 1), line.substr(second + 1)});
    }
    return places;
}

std::string ownPath(const std::string& controller)
{
    for (const Place& place : ownPlaces()) {
        const std::string names = "," + place.names + ",";
        if ((controller.empty() && names == ",,") || (!controller.empty() && names.find("," + controller + ",") != std::string::npos))
            return place.path;
    }
    return {};
}

namespace {

// A dead runner's group: what is left in it (a box killed while it started
// may wait for ever on a parent that is gone) is killed, thawed first where
// a freezer holds it, and the group removed once empty.
void endAbandonedGroup(const std::string& group)
{
    if (const FileDescriptor state(::open((group + "/freezer.state").c_str(), O_WRONLY | O_CLOEXEC)); state.valid())
        writeFully(state.get(), "THAWED");
    for (int attempt = 0; attempt < 50; ++attempt) {
        std::ifstream procs(group + "/cgroup.procs");
        for (long pid; procs >> pid;)
            if (pid > 0)
                ::kill(static_cast<pid_t>(pid), SIGKILL);
        if (::rmdir(group.c_str()) == 0 || errno != EBUSY)
            return;
        ::usleep(20000);
    }
}

} // namespace

void removeAbandonedBoxGroups()
{
    namespace fs = std::filesystem;
    // Where this process's groups would be: beside its own place in each
    // hierarchy (the freezer's too, where earlier versions made them).
    std::vector<fs::path> parents;
    const std::vector<Mount> mounts = cgroupMounts();
    for (const Place& place : ownPlaces()) {
        const std::string& names = place.names;
        const std::string one = "," + names.substr(0, names.find(',')) + ",";
        for (const Mount& mount : mounts) {
            if (names.empty() ? !mount.v2 : (mount.v2 || mount.controllers.find(one) == std::string::npos))
                continue;
            fs::path parent = fs::path(mount.point + place.path);
            if (parent.filename().string().rfind("vorlen-referee-", 0) == 0)
                parent = parent.parent_path();
            parents.push_back(parent);
        }
    }
    for (const fs::path& parent : parents) {
        std::error_code error;
        // Other runners add and remove groups here as we read: never throw.
        for (fs::directory_iterator entry(parent, error), end; !error && entry != end; entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            std::string owner;
            for (const char* prefix : {"vorlen-box-", "vorlen-referee-"})
                if (name.rfind(prefix, 0) == 0)
                    owner = name.substr(std::strlen(prefix), name.find('-', std::strlen(prefix)) - std::strlen(prefix));
            const long pid = owner.empty() ? 0 : std::atol(owner.c_str());
            // A live process of that id may be a runner still at work.
            if (pid <= 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
                continue;
            endAbandonedGroup(entry->path().string());
        }
    }
}

} // namespace vorlen
