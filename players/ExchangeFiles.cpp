#include "ExchangeFiles.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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
    const int sub = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0 || depth > 64) {
        if (sub >= 0)
            ::close(sub);
        errno = saved;
        return false;
    }
    DIR* listing = ::fdopendir(sub);
    if (!listing) {
        ::close(sub);
        return false;
    }
    bool ok = true;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        ok = removeAt(::dirfd(listing), entry->d_name, depth + 1) && ok;
    }
    ::closedir(listing);
    return (ok && ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0) || errno == ENOENT;
}

} // namespace

ExchangeFiles::~ExchangeFiles()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ExchangeFiles::open(const std::string& dir, std::string& error)
{
    fd_ = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        error = std::strerror(errno);
    return fd_ >= 0;
}

bool ExchangeFiles::remove(const char* name, std::string& error) const
{
    if (removeAt(fd_, name, 0))
        return true;
    error = std::strerror(errno);
    return false;
}

bool ExchangeFiles::write(const char* name, const std::string& text, std::string& error) const
{
    // Exclusive: the name was just cleared, so anything there now is planted.
    const int file = ::openat(fd_, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (file < 0) {
        error = std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(file, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            error = std::strerror(wrote < 0 ? errno : ENOSPC);
            ::close(file);
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (::close(file) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

std::optional<std::string> ExchangeFiles::read(const char* name, std::size_t cap) const
{
    const int file = ::openat(fd_, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(file, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(file);
        return std::nullopt;
    }
    std::string text(cap, '\0');
    std::size_t got = 0;
    while (got < cap) {
        const ssize_t n = ::read(file, text.data() + got, cap - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(file);
    text.resize(got);
    return text;
}

} // namespace vorlen
