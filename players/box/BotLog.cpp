#include "BotLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace vorlen {

bool BotLog::open(const std::string& path, std::uint64_t capBytes, std::string& error)
{
    FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = file.valid() ? "not a regular file" : std::strerror(errno);
        return false;
    }
    fd_ = std::move(file);
    path_ = path;
    cap_ = capBytes;
    size_ = static_cast<std::uint64_t>(info.st_size);
    cut_ = size_ >= cap_;
    return true;
}

void BotLog::writeAll(std::string_view bytes)
{
    if (!error_.empty())
        return;
    if (const int failure = writeFully(fd_.get(), bytes); failure != 0)
        error_ = "cannot write '" + path_ + "': " + std::strerror(failure);
    else
        size_ += bytes.size();
}

void BotLog::keepLastLine(std::string_view bytes)
{
    constexpr std::size_t kMost = 200;
    for (const char ch : bytes) {
        if (ch == '\n') {
            if (!pending_.empty())
                lastLine_ = std::exchange(pending_, {});
            continue;
        }
        if (ch != '\r' && pending_.size() < kMost)
            pending_ += ch;
    }
    if (!pending_.empty())
        lastLine_ = pending_;
}

void BotLog::append(std::string_view bytes)
{
    if (!fd_.valid() || bytes.empty())
        return;
    keepLastLine(bytes);
    if (cut_)
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
    if (fd_.valid())
        writeAll("\n[vorlen] " + text + "\n");
}

} // namespace vorlen
