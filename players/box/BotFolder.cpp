#include "BotFolder.h"

#include "CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <pwd.h>

namespace vorlen {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSystemDirs[] = {"/usr", "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32", "/etc"};

// Whether `path` is `dir` or lies below it; both absolute and normal.
bool isWithin(const fs::path& path, const fs::path& dir)
{
    auto p = path.begin();
    for (auto d = dir.begin(); d != dir.end(); ++d, ++p) {
        if (d->empty())
            continue; // a trailing separator
        if (p == path.end() || *p != *d)
            return false;
    }
    return true;
}

fs::path normal(const std::string& path)
{
    fs::path p = fs::path(path).lexically_normal();
    if (p.has_relative_path() && p.filename().empty())
        p = p.parent_path();
    return p;
}

std::vector<std::string> homeFolders(const std::string& home)
{
    std::vector<std::string> homes;
    if (!home.empty())
        homes.push_back(normal(home).string());
    ::setpwent();
    while (const passwd* user = ::getpwent())
        if (user->pw_dir && *user->pw_dir)
            homes.push_back(normal(user->pw_dir).string());
    ::endpwent();
    return homes;
}

} // namespace

bool isWithinFolder(const std::string& path, const std::string& folder) { return isWithin(normal(path), normal(folder)); }

bool isSystemPath(const std::string& path)
{
    const fs::path p = normal(path);
    return std::any_of(std::begin(kSystemDirs), std::end(kSystemDirs),
                       [&](const char* dir) { return isWithin(p, dir); });
}

std::string ownFolderOf(const std::vector<std::string>& argv, const std::string& botPath)
{
    if (argv.empty())
        return {};
    std::string why;
    const std::string program = argv.front().find('/') == std::string::npos
                                    ? findExecutableIn(argv.front(), "/", botPath, why)
                                    : argv.front();
    if (program.empty() || !fs::path(program).is_absolute())
        return {};
    if (!isSystemPath(program))
        return normal(program).parent_path().string();
    for (std::size_t i = 1; i < argv.size(); ++i) {
        std::error_code error;
        const fs::path named = normal(argv[i]);
        if (!named.is_absolute() || !fs::exists(named, error) || isSystemPath(named.string()))
            continue;
        return fs::is_directory(named, error) ? named.string() : named.parent_path().string();
    }
    return {};
}

std::optional<std::string> ownFolderProblem(const std::string& folder, const std::string& home)
{
    const fs::path dir = normal(folder);
    const std::string advice = "; put the bot in a folder of its own, or name its folder with " + std::string(",dir=PATH")
                               + " after the command line";
    if (dir == "/")
        return "its own folder would be /, which holds every folder of the system" + advice;
    if (dir == "/tmp")
        return "its own folder would be /tmp, which every box has of its own" + advice;
    for (const std::string& user : homeFolders(home))
        if (dir == user)
            return "its own folder would be " + dir.string()
                   + ", a home folder: a box would show the bot everything in it" + advice;
    return std::nullopt;
}

std::vector<std::string> hiddenPaths(const BoxView& mine, const BoxView& other,
                                     const std::vector<std::string>& outputs)
{
    if (mine.ownDir.empty())
        return {};
    const fs::path own = normal(mine.ownDir);
    std::vector<std::string> candidates = outputs;
    if (!other.ownDir.empty())
        candidates.push_back(other.ownDir);
    candidates.insert(candidates.end(), other.named.begin(), other.named.end());

    std::vector<std::string> hidden;
    for (const std::string& candidate : candidates) {
        const fs::path path = normal(candidate);
        // Only what lies inside the folder, never the folder itself or what
        // this seat runs: hiding those would hide the bot from itself.
        if (path == own || !isWithin(path, own))
            continue;
        const bool ours = std::any_of(mine.named.begin(), mine.named.end(), [&](const std::string& named) {
            return isWithin(normal(named), path);
        });
        const bool shown = std::any_of(hidden.begin(), hidden.end(),
                                       [&](const std::string& already) { return isWithin(path, already); });
        if (ours || shown)
            continue;
        // What lies inside this one is hidden with it.
        std::erase_if(hidden, [&](const std::string& already) { return isWithin(already, path); });
        hidden.push_back(path.string());
    }
    return hidden;
}

} // namespace vorlen
