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
    lineOpen_ = false;
    // Opened once a move has begun: the move is marked all the same.
    markTurn();
    return true;
}

void BotLog::markTurn()
{
    if (fd_.valid() && !cut_ && turn_ >= 0)
        writeAll(std::string(lineOpen_ ? "\n" : "") + "[vorlen] turn " + std::to_string(turn_) + ":\n");
}

void BotLog::writeAll(std::string_view bytes)
{
    if (!error_.empty())
        return;
    if (const int failure = writeFully(fd_.get(), bytes); failure != 0) {
        error_ = "cannot write '" + path_ + "': " + std::strerror(failure);
        return;
    }
    size_ += bytes.size();
    if (!bytes.empty())
        lineOpen_ = bytes.back() != '\n';
}

void BotLog::keepForMove(std::string_view bytes)
{
    if (move_.size() < moveKept_)
        move_.append(bytes.substr(0, moveKept_ - move_.size()));
    moveBytes_ += bytes.size();
}

void BotLog::beginMove(int turn)
{
    // A line the last move left open ends with it.
    writeBots(marker_.release());
    lastLine_.clear();
    pending_.clear();
    move_.clear();
    moveBytes_ = 0;
    turn_ = turn;
    markTurn();
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
    if (bytes.empty())
        return;
    keepLastLine(bytes);
    marker_.pass(bytes, marked_);
    writeBots(marked_);
}

void BotLog::writeBots(const std::string& bytes)
{
    if (bytes.empty())
        return;
    keepForMove(bytes);
    if (!fd_.valid() || cut_)
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
    // What the bot wrote before the note is its own, and marked as such.
    writeBots(marker_.release());
    const std::string line = "[vorlen] " + text + "\n";
    keepForMove((move_.empty() || move_.back() == '\n' ? "" : "\n") + line);
    if (fd_.valid())
        writeAll("\n" + line);
}

} // namespace vorlen
