#pragma once

#include <cerrno>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace vorlen {

// An open file descriptor, closed when the object goes; -1 holds none.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        reset(other.release());
        return *this;
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// Writes all of `bytes`, across short writes and interruptions: 0, or the
// errno of the failure (ENOSPC for a write that took nothing).
inline int writeFully(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return wrote < 0 ? errno : ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

// Up to `cap` bytes from the descriptor's current position: less at the end
// of the file or on an error.
inline std::string readUpTo(int fd, std::size_t cap)
{
    std::string text(cap, '\0');
    std::size_t got = 0;
    while (got < cap) {
        const ssize_t n = ::read(fd, text.data() + got, cap - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

} // namespace vorlen
