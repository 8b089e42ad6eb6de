#include "Sandbox.h"

#include "BotProcess.h"
#include "CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

bool isWithin(const fs::path& path, const fs::path& dir)
{
    auto p = path.begin();
    for (auto d = dir.begin(); d != dir.end(); ++d, ++p)
        if (p == path.end() || *p != *d)
            return false;
    return true;
}

// Directories that hold the files named on the command line and that a
// hidden place would otherwise cover.
std::vector<std::string> namedDirectories(const SandboxPlan& plan, const std::vector<std::string>& argv,
                                          const std::vector<std::string>& hidden)
{
    std::vector<std::string> dirs;
    for (const std::string& arg : argv) {
        std::error_code error;
        if (arg.empty())
            continue;
        const fs::path named = fs::path(arg).is_absolute() ? fs::path(arg) : plan.writableDir / fs::path(arg);
        const fs::path real = fs::canonical(named, error);
        if (error)
            continue;
        const fs::path dir = fs::is_directory(real, error) ? real : real.parent_path();
        bool covered = false;
        for (const std::string& place : hidden)
            covered = covered || isWithin(dir, place);
        if (covered && !isWithin(dir, plan.writableDir))
            dirs.push_back(dir.string());
    }
    return dirs;
}

} // namespace

std::vector<std::string> sandboxCommand(const SandboxPlan& plan, const std::vector<std::string>& argv)
{
    // A place inside one already hidden needs no cover of its own.
    std::vector<std::string> hidden{"/tmp"};
    for (const std::string& place : plan.hidden)
        if (std::none_of(hidden.begin(), hidden.end(), [&](const std::string& outer) { return isWithin(place, outer); }))
            hidden.push_back(place);

    std::vector<std::string> command{plan.bwrap,  "--unshare-all", "--die-with-parent",
                                     "--cap-drop", "ALL",          "--ro-bind",
                                     "/",          "/",            "--dev",
                                     "/dev",       "--proc",       "/proc"};
    for (const std::string& place : hidden)
        command.insert(command.end(), {"--tmpfs", place});
    for (const std::string& dir : namedDirectories(plan, argv, hidden))
        command.insert(command.end(), {"--ro-bind", dir, dir});
    command.insert(command.end(), {"--bind", plan.writableDir, plan.writableDir, "--chdir",
                                   plan.writableDir, "--"});
    command.insert(command.end(), argv.begin(), argv.end());
    return command;
}

std::string findBubblewrap()
{
    std::string why;
    return findExecutable("bwrap", fs::current_path().string(), why);
}

bool probeSandbox(const std::string& bwrap, std::string& why)
{
    if (bwrap.empty()) {
        why = "bubblewrap (bwrap) is not installed; get it with: apt-get install bubblewrap";
        return false;
    }
    char pattern[] = "/tmp/vorlen-probe-XXXXXX";
    if (!::mkdtemp(pattern)) {
        why = std::string("cannot make a folder to try it in: ") + std::strerror(errno);
        return false;
    }
    // Run as any bot is, so that it fails here if it would fail for a bot.
    BotGroups groups;
    BotProcess::Options options;
    options.groups = &groups;
    options.sandboxed = true;
    const BotRunResult run = BotProcess().run(
        sandboxCommand({bwrap, pattern, {}}, {"/bin/sh", "-c", "echo 1 > probe"}), options);
    const bool wrote = fs::exists(fs::path(pattern) / "probe");
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
    if (run.status == BotRunResult::Status::Finished && wrote)
        return true;
    why = bwrap + " cannot make a sandbox here (user namespaces may be off: see "
                  "'sysctl kernel.unprivileged_userns_clone')";
    return false;
}

} // namespace vorlen
