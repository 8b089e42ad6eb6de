#include "BotLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen {

BotLog::~BotLog()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool BotLog::open(const std::string& path, std::uint64_t capBytes, std::string& error)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                 0644);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = fd_ < 0 ? std::strerror(errno) : "not a regular file";
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        return false;
    }
    path_ = path;
    cap_ = capBytes;
    size_ = static_cast<std::uint64_t>(info.st_size);
    cut_ = size_ >= cap_;
    return true;
}

void BotLog::writeAll(std::string_view bytes)
{
    while (!bytes.empty() && error_.empty()) {
        const ssize_t wrote = ::write(fd_, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            error_ = "cannot write '" + path_ + "': " + std::strerror(wrote < 0 ? errno : ENOSPC);
            return;
        }
        size_ += static_cast<std::uint64_t>(wrote);
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
}

void BotLog::append(std::string_view bytes)
{
    if (fd_ < 0 || cut_ || bytes.empty())
        return;
    const std::uint64_t room = cap_ > size_ ? cap_ - size_ : 0;
    if (bytes.size() <= room) {
        writeAll(bytes);
        return;
    }
    writeAll(bytes.substr(0, static_cast<std::size_t>(room)));
    cut_ = true;
    note("log cut at " + std::to_string(cap_) + " bytes; the rest of this bot's output is dropped");
}

void BotLog::note(const std::string& text)
{
    if (fd_ >= 0)
        writeAll("\n[vorlen] " + text + "\n");
}

} // namespace vorlen
