// How bubblewrap is told to make a box.
#include "Box.h"

#include "BotFolder.h"

#include <filesystem>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

// Where the launcher is, inside every box.
constexpr const char* kLauncherInside = "/vorlen-box";
// The bot's seat folder inside its box: on the box's own /tmp.
constexpr const char* kSeatInside = "/tmp/seat";

// Places the box makes itself, and the system it shows anyway: a named
// path there or above one is not bound again.
bool boundAnyway(const std::string& path)
{
    for (const char* own : {"/tmp", "/dev", "/proc"})
        if (isWithinFolder(own, path))
            return true;
    return isSystemPath(path) || isWithinFolder(path, "/dev") || isWithinFolder(path, "/proc");
}

} // namespace

std::vector<std::string> namedPaths(const std::vector<std::string>& argv)
{
    std::vector<std::string> paths;
    for (const std::string& word : argv) {
        // A bare program name is looked up in the box, among the system's
        // programs: the referee's own PATH may hold places the box keeps out.
        if (&word == &argv.front() && word.find('/') == std::string::npos)
            continue;
        std::error_code error;
        if (word.empty() || word.front() != '/' || !fs::exists(word, error))
            continue;
        // What it is, not how it is spelt: a link is never bound as the folder it leads to.
        const std::string path = realPath(word);
        if (!path.empty() && !boundAnyway(path))
            paths.push_back(path);
    }
    return paths;
}

std::vector<std::string> boxCommand(const SandboxPlan& plan, const BoxView& view, std::uint64_t diskMiB)
{
    const std::string disk = std::to_string(diskMiB << 20);
    std::vector<std::string> command{plan.bwrap, "--unshare-all", "--unshare-user", "--disable-userns",
                                     "--die-with-parent", "--as-pid-1", "--cap-drop", "ALL"};
    // The system, read-only; merged /usr keeps its links.
    for (const char* dir : {"/usr", "/etc"})
        command.insert(command.end(), {"--ro-bind", dir, dir});
    for (const char* dir : {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        std::error_code error;
        const fs::file_status status = fs::symlink_status(dir, error);
        if (fs::is_symlink(status))
            command.insert(command.end(), {"--symlink", fs::read_symlink(dir, error).string(), dir});
        else if (fs::is_directory(status))
            command.insert(command.end(), {"--ro-bind", dir, dir});
    }
    // The kernel's keys of every user show in /proc/keys: not a box's business.
    // Its message queues show in /dev/mqueue, where a wipe finds them.
    command.insert(command.end(), {"--proc", "/proc", "--ro-bind", "/dev/null", "/proc/keys", "--ro-bind", "/dev/null",
                                   "/proc/key-users", "--dev", "/dev", "--mqueue", "/dev/mqueue", "--perms", "1777",
                                   "--size", disk, "--tmpfs", "/tmp", "--perms", "1777", "--size", disk, "--tmpfs",
                                   "/dev/shm", "--dir", kSeatInside});
    if (!view.ownDir.empty() && !boundAnyway(view.ownDir)) {
        command.insert(command.end(), {"--ro-bind", view.ownDir, view.ownDir});
        // What is not the bot's shows as empty: a file as the null device, a
        // folder as an empty read-only one.
        for (const std::string& path : view.hidden) {
            std::error_code error;
            if (fs::is_directory(path, error))
                command.insert(command.end(), {"--perms", "0555", "--size", "4096", "--tmpfs", path, "--remount-ro", path});
            else if (fs::exists(path, error))
                command.insert(command.end(), {"--ro-bind", "/dev/null", path});
        }
    }
    for (const std::string& path : view.named)
        command.insert(command.end(), {"--ro-bind", path, path});
    command.insert(command.end(), {"--ro-bind", plan.launcher, kLauncherInside, "--remount-ro", "/", "--chdir",
                                   kSeatInside, "--", kLauncherInside, "3"});
    return command;
}

} // namespace vorlen
