#include "BotFolder.h"

#include "CommandLine.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>

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

// The text after which every refusal of a folder says what to do.
std::string folderAdvice()
{
    return "; put the bot in a folder of its own, or name its folder with " + std::string(",dir=PATH")
           + " after the command line";
}

// A folder shared for anyone to write to, as /tmp is (sticky, writable by
// all): what lies in it is not one bot's.
bool sharedScratch(const fs::path& dir)
{
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & S_IWOTH) != 0
           && (info.st_mode & S_ISVTX) != 0;
}

} // namespace

std::string realPath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return {};
    // The longest part that exists is resolved; what is not there yet follows it as written.
    fs::path rest;
    for (fs::path part = normal(path);; part = part.parent_path()) {
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(part.c_str(), nullptr), &std::free);
        if (real)
            return normal((fs::path(real.get()) / rest).string()).string();
        if (!part.has_relative_path())
            return {};
        rest = rest.empty() ? part.filename() : part.filename() / rest;
    }
}

std::vector<std::string> realCommandLine(const std::vector<std::string>& argv)
{
    std::vector<std::string> resolved = argv;
    for (std::string& word : resolved) {
        std::error_code error;
        if (word.empty() || word.front() != '/' || !fs::exists(word, error))
            continue;
        const std::string real = realPath(word);
        // The system's folders are shown as they are: their links resolve in the box too.
        if (!real.empty() && !(isSystemPath(word) && isSystemPath(real)))
            word = real;
    }
    return resolved;
}

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
    const std::string found = argv.front().find('/') == std::string::npos
                                  ? findExecutableIn(argv.front(), "/", botPath, why)
                                  : argv.front();
    if (found.empty() || !fs::path(found).is_absolute())
        return {};
    const std::string program = realPath(found);
    if (!program.empty() && !isSystemPath(program))
        return normal(program).parent_path().string();
    for (std::size_t i = 1; i < argv.size(); ++i) {
        std::error_code error;
        if (argv[i].empty() || argv[i].front() != '/' || !fs::exists(argv[i], error))
            continue;
        const fs::path named = realPath(argv[i]);
        if (named.empty() || isSystemPath(named.string()))
            continue;
        return fs::is_directory(named, error) ? named.string() : named.parent_path().string();
    }
    return {};
}

std::optional<std::string> ownFolderProblem(const std::string& folder, const std::string& home)
{
    const fs::path dir = normal(folder);
    const std::string advice = folderAdvice();
    if (dir == "/")
        return "its own folder would be /, which holds every folder of the system" + advice;
    if (dir == "/tmp")
        return "its own folder would be /tmp, which every box has of its own" + advice;
    for (const std::string& user : homeFolders(home))
        if (dir == user)
            return "its own folder would be " + dir.string()
                   + ", a home folder: a box would show the bot everything in it" + advice;
    if (dir.parent_path() == "/")
        return "its own folder would be " + dir.string() + ", a folder of the system's that holds far more than a bot"
               + advice;
    if (sharedScratch(dir))
        return "its own folder would be " + dir.string()
               + ", a folder shared for anyone to write to: what others leave there is not the bot's" + advice;
    return std::nullopt;
}

std::optional<std::string> namedPathProblem(const BoxView& view)
{
    for (const std::string& named : view.named) {
        if (isSystemPath(named) || (!view.ownDir.empty() && isWithinFolder(named, view.ownDir)))
            continue;
        return "its command line names " + named + ", which is outside "
               + (view.ownDir.empty() ? std::string("the system's folders") : "its own folder " + view.ownDir)
               + " (links and .. resolved): a box shows a bot its own folder and nothing else of yours" + folderAdvice();
    }
    return std::nullopt;
}

std::optional<std::string> boxViewProblem(const BoxView& mine, const BoxView& other,
                                          const std::vector<std::string>& outputs, const std::string& home)
{
    if (mine.ownDir.empty())
        return namedPathProblem(mine);
    if (auto problem = ownFolderProblem(mine.ownDir, home))
        return problem;
    if (auto problem = namedPathProblem(mine))
        return problem;
    for (const std::string& output : outputs) {
        const std::string real = realPath(output);
        if (!real.empty() && isWithinFolder(mine.ownDir, real))
            return "its own folder " + mine.ownDir + " would be in the run's output " + real
                   + ", which the bot must not read" + folderAdvice();
    }
    if (!other.ownDir.empty() && other.ownDir != mine.ownDir && isWithinFolder(other.ownDir, mine.ownDir))
        return "its own folder " + mine.ownDir + " holds the other seat's folder " + other.ownDir + folderAdvice();
    return std::nullopt;
}

std::vector<std::string> hiddenPaths(const BoxView& mine, const BoxView& other,
                                     const std::vector<std::string>& outputs)
{
    if (mine.ownDir.empty())
        return {};
    const fs::path own = normal(mine.ownDir);
    std::vector<std::string> candidates;
    for (const std::string& output : outputs)
        if (const std::string real = realPath(output); !real.empty())
            candidates.push_back(real);
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
