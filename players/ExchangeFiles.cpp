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

// The file system user of this thread alone is changed, and back.
int createFile(int dirFd, const char* name, int uid, int gid)
{
    const auto create = [&] { return ::openat(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644); };
    if (uid < 0)
        return create();
    const long uidBefore = ::syscall(SYS_setfsuid, uid);
    const long gidBefore = ::syscall(SYS_setfsgid, gid);
    const int fd = create();
    const int failure = errno;
    ::syscall(SYS_setfsgid, gidBefore);
    ::syscall(SYS_setfsuid, uidBefore);
    errno = failure;
    return fd;
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

std::optional<std::string> ExchangeFiles::read(const char* name, std::size_t cap) const
{
    const FileDescriptor file(::openat(fd_.get(), name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return readUpTo(file.get(), cap);
}

} // namespace vorlen
