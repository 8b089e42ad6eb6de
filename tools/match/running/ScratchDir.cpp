#include "ScratchDir.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace vorlen::match {
namespace {

namespace fs = std::filesystem;

constexpr const char* kScratchName = "vorlen-match-";

// When the process started, in clock ticks after boot: with its id, it names
// one process for good. Empty when there is no such process.
std::string startTimeOf(long pid)
{
    const FileDescriptor file(::open(("/proc/" + std::to_string(pid) + "/stat").c_str(), O_RDONLY | O_CLOEXEC));
    const std::string stat = file.valid() ? readUpTo(file.get(), 1024) : std::string();
    // The name may hold anything: fields follow the last ')'; the start time is field 22.
    std::size_t at = stat.rfind(')');
    for (int field = 2; field < 22 && at != std::string::npos; ++field)
        at = stat.find(' ', at + 1);
    if (at == std::string::npos)
        return {};
    return stat.substr(at + 1, stat.find(' ', at + 1) - at - 1);
}

bool inMemoryAndWritable(const std::string& dir)
{
    struct statfs info {};
    return !dir.empty() && ::statfs(dir.c_str(), &info) == 0 && info.f_type == TMPFS_MAGIC
           && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::vector<std::string> scratchRoots()
{
    std::vector<std::string> roots{"/dev/shm"};
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
        roots.push_back(runtime);
    std::error_code problem;
    roots.push_back(fs::temp_directory_path(problem).string());
    return roots;
}

std::string scratchRoot()
{
    // A temporary folder named on purpose is the organiser's choice.
    if (const char* chosen = std::getenv("TMPDIR"); chosen && *chosen)
        return chosen;
    const std::vector<std::string> roots = scratchRoots();
    for (const std::string& root : roots)
        if (inMemoryAndWritable(root))
            return root;
    return roots.back();
}

std::string scratchPrefix()
{
    const long pid = ::getpid();
    return kScratchName + std::to_string(pid) + "-" + startTimeOf(pid) + "-";
}

ScratchDir::ScratchDir(std::string& error)
{
    std::string pattern = (fs::path(scratchRoot()) / (scratchPrefix() + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        error = "cannot make a scratch folder in " + pattern + ": " + std::strerror(errno);
        return;
    }
    path_ = pattern;
    for (const char* seat : {"/seat-0", "/seat-1"}) {
        if (::mkdir((path_ + seat).c_str(), 0700) != 0) {
            error = "cannot make " + path_ + seat + ": " + std::strerror(errno);
            return;
        }
    }
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    if (!path_.empty())
        fs::remove_all(path_, ignored);
}

int removeAbandonedScratch(const std::string& dir)
{
    int removed = 0;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind(kScratchName, 0) != 0 || !it->is_directory(error) || it->is_symlink(error))
            continue;
        // vorlen-match-PID-START-XXXXXX
        char* after = nullptr;
        const long pid = std::strtol(name.c_str() + std::strlen(kScratchName), &after, 10);
        if (pid <= 0 || *after != '-')
            continue;
        const std::string start(after + 1, std::strcspn(after + 1, "-"));
        if (startTimeOf(pid) == start)
            continue; // its runner is still there
        std::error_code ignored;
        removed += fs::remove_all(it->path(), ignored) > 0 ? 1 : 0;
    }
    return removed;
}

} // namespace vorlen::match
