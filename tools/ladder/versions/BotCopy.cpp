#include "BotCopy.h"

#include "FileDescriptor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vorlen::ladder {
namespace {

struct DirEnd {
    void operator()(DIR* dir) const { closedir(dir); }
};

class Copier {
public:
    explicit Copier(const CopyCaps& caps) : caps_(caps) {}

    bool copyFolder(int from, int to, const std::string& prefix, int depth)
    {
        if (depth > caps_.depth)
            return fail("'" + prefix + "' lies deeper than " + std::to_string(caps_.depth) + " folders");
        const int listing = dup(from);
        std::unique_ptr<DIR, DirEnd> dir(listing >= 0 ? fdopendir(listing) : nullptr);
        if (!dir) {
            if (listing >= 0)
                close(listing);
            return fail("cannot list '" + prefix + "': " + std::strerror(errno));
        }
        while (const dirent* entry = readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            if (!copyEntry(from, to, name, prefix + name, depth))
                return false;
        }
        return fchmod(to, 0555) == 0 || fail("cannot seal '" + prefix + "': " + std::strerror(errno));
    }

    CopyOutcome outcome;

private:
    bool fail(const std::string& why)
    {
        outcome.error = why;
        return false;
    }

    bool copyEntry(int from, int to, const std::string& name, const std::string& path, int depth)
    {
        struct stat info {};
        if (fstatat(from, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return fail("cannot look at '" + path + "': " + std::strerror(errno));
        if (S_ISLNK(info.st_mode))
            return fail("'" + path + "' is a link: a bot's folder is taken without links");
        if (S_ISDIR(info.st_mode)) {
            if (mkdirat(to, name.c_str(), 0700) != 0)
                return fail("cannot make '" + path + "': " + std::strerror(errno));
            const FileDescriptor source(openat(from, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            const FileDescriptor copy(openat(to, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!source.valid() || !copy.valid())
                return fail("cannot open '" + path + "': " + std::strerror(errno));
            return copyFolder(source.get(), copy.get(), path + "/", depth + 1);
        }
        if (!S_ISREG(info.st_mode))
            return fail("'" + path + "' is not a file or a folder (a device, pipe or socket)");
        outcome.files.push_back(path);
        if (outcome.files.size() > caps_.files)
            return fail("more than " + std::to_string(caps_.files) + " files");
        return copyFile(from, to, name, path, info.st_mode);
    }

    bool copyFile(int from, int to, const std::string& name, const std::string& path, mode_t mode)
    {
        // O_NONBLOCK: were it swapped for a pipe meanwhile, opening does not wait.
        const FileDescriptor source(openat(from, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!source.valid() || fstat(source.get(), &info) != 0 || !S_ISREG(info.st_mode))
            return fail("cannot read '" + path + "' as a file");
        const mode_t sealed = (mode & 0111) != 0 ? 0555 : 0444;
        const FileDescriptor copy(openat(to, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy.valid())
            return fail("cannot write '" + path + "': " + std::strerror(errno));
        char buffer[65536];
        for (;;) {
            const ssize_t got = read(source.get(), buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return fail("cannot read '" + path + "': " + std::strerror(errno));
            if (got == 0)
                break;
            outcome.bytes += static_cast<std::uint64_t>(got);
            if (outcome.bytes > caps_.bytes)
                return fail("more than " + std::to_string(caps_.bytes >> 20) + " MiB of files");
            if (const int failed = writeFully(copy.get(), std::string_view(buffer, static_cast<std::size_t>(got))))
                return fail("cannot write '" + path + "': " + std::strerror(failed));
        }
        return fchmod(copy.get(), sealed) == 0 || fail("cannot seal '" + path + "': " + std::strerror(errno));
    }

    const CopyCaps& caps_;
};

} // namespace

CopyOutcome copyBotFolder(const std::string& from, const std::string& to, const CopyCaps& caps)
{
    const FileDescriptor source(open(from.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!source.valid()) {
        CopyOutcome refused;
        refused.error = "'" + from + "' is not a folder: " + std::strerror(errno);
        return refused;
    }
    return copyBotFolderAt(source.get(), to, caps);
}

CopyOutcome copyBotFolderAt(int from, const std::string& to, const CopyCaps& caps)
{
    Copier copier(caps);
    // Opened anew: a handle that only names the folder cannot list it.
    const FileDescriptor source(openat(from, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!source.valid()) {
        copier.outcome.error = std::string("cannot open the folder to copy: ") + std::strerror(errno);
        return copier.outcome;
    }
    if (mkdir(to.c_str(), 0700) != 0) {
        copier.outcome.error = "cannot make '" + to + "': " + std::strerror(errno);
        return copier.outcome;
    }
    const FileDescriptor copy(open(to.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!copy.valid() || !copier.copyFolder(source.get(), copy.get(), "", 0)) {
        if (copier.outcome.error.empty())
            copier.outcome.error = "cannot open '" + to + "'";
        removeCopiedFolder(to);
    }
    return copier.outcome;
}

void removeCopiedFolder(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(path, ignored); !ignored && it != fs::recursive_directory_iterator();
         it.increment(ignored))
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

} // namespace vorlen::ladder
