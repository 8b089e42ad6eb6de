#include "ExchangeFiles.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vorlen {
namespace {

// Removes the entry `name` of the directory `dirFd`, emptying directories
// first; nothing is followed through a link.
bool removeAt(int dirFd, const char* name, int depth)
{
    if (::unlinkat(dirFd, name, 0) == 0 || errno == ENOENT)
        return true;
    if (errno != EISDIR && errno != EPERM)
        return false;
    const int saved = errno;
    FileDescriptor sub(::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!sub.valid() || depth > 64) {
        errno = saved;
        return false;
    }
    DIR* listing = ::fdopendir(sub.get());
    if (!listing)
        return false;
    sub.release(); // the listing owns it now
    bool ok = true;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        ok = removeAt(::dirfd(listing), entry->d_name, depth + 1) && ok;
    }
    ::closedir(listing);
    return (ok && ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0) || errno == ENOENT;
}

// Runs `make` as the file system user `uid` (none: as we are); the user of
// this thread alone is changed, and back.
template <typename Make>
int asFileUser(int uid, int gid, Make make)
{
    if (uid < 0)
        return make();
    const long uidBefore = ::syscall(SYS_setfsuid, uid);
    const long gidBefore = ::syscall(SYS_setfsgid, gid);
    const int result = make();
    const int failure = errno;
    ::syscall(SYS_setfsgid, gidBefore);
    ::syscall(SYS_setfsuid, uidBefore);
    errno = failure;
    return result;
}

int createFile(int dirFd, const char* name, int uid, int gid)
{
    return asFileUser(uid, gid, [&] {
        return ::openat(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    });
}

// The folder `name` in `dirFd`, made where missing; never through a link.
FileDescriptor folderAt(int dirFd, const std::string& name, int uid, int gid)
{
    if (asFileUser(uid, gid, [&] { return ::mkdirat(dirFd, name.c_str(), 0755); }) != 0 && errno != EEXIST)
        return FileDescriptor();
    return FileDescriptor(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

} // namespace

bool ExchangeFiles::open(const std::string& dir, std::string& error)
{
    fd_.reset(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd_.valid())
        error = std::strerror(errno);
    return fd_.valid();
}

bool ExchangeFiles::adopt(int dirFd, std::string& error)
{
    fd_.reset(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
    if (!fd_.valid())
        error = std::strerror(errno);
    return fd_.valid();
}

bool ExchangeFiles::remove(const char* name, std::string& error) const
{
    if (removeAt(fd_.get(), name, 0))
        return true;
    error = std::strerror(errno);
    return false;
}

bool ExchangeFiles::write(const char* name, const std::string& text, std::string& error) const
{
    // Exclusive: the name was just cleared, so anything there now is planted.
    FileDescriptor file(createFile(fd_.get(), name, createUid_, createGid_));
    int failure = file.valid() ? writeFully(file.get(), text) : errno;
    if (failure == 0 && ::close(file.release()) != 0)
        failure = errno;
    if (failure != 0)
        error = std::strerror(failure);
    return failure == 0;
}

bool ExchangeFiles::putBack(const SeatFiles& files, std::string& error) const
{
    for (const SeatFile& file : files.files) {
        if (!isSoundSeatPath(file.path)) {
            error = "'" + file.path + "' would leave the seat folder";
            return false;
        }
        // Down the path's folders one at a time, each by its own handle.
        FileDescriptor folder(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
        std::size_t start = 0;
        for (std::size_t slash; folder.valid() && (slash = file.path.find('/', start)) != std::string::npos;
             start = slash + 1)
            folder = folderAt(folder.get(), file.path.substr(start, slash - start), createUid_, createGid_);
        const std::string name = file.path.substr(start);
        int failure = folder.valid() && removeAt(folder.get(), name.c_str(), 0) ? 0 : errno;
        FileDescriptor made(failure == 0 ? createFile(folder.get(), name.c_str(), createUid_, createGid_) : -1);
        if (failure == 0)
            failure = made.valid() ? writeFully(made.get(), file.bytes) : errno;
        if (failure != 0) {
            error = file.path + ": " + std::strerror(failure);
            return false;
        }
    }
    return true;
}

std::optional<std::string> ExchangeFiles::read(const char* name, std::size_t cap) const
{
    const FileDescriptor file(::openat(fd_.get(), name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return readUpTo(file.get(), cap);
}

} // namespace vorlen
