#pragma once

#include "BotLineMarker.h"
#include "FileDescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlen {

// A bot's standard error kept in a file, appended to across its moves, and
// cut at a fixed size so that no bot can fill the disk through it. The
// referee's own notes ("[vorlen] ...") are always written, and only they
// begin so: a bot's line that does is kept as "[bot] [vorlen] ...".
class BotLog {
public:
    explicit BotLog(std::size_t moveKeptBytes) : moveKept_(moveKeptBytes) {}

    // False, with the system's reason, when the file cannot be opened.
    // Without a file, each move's part is still kept.
    bool open(const std::string& path, std::uint64_t capBytes, std::string& error);
    bool isOpen() const { return fd_.valid(); }

    // What the bot wrote: in the file up to the cap, then one line says it
    // was cut; of each move, its start as replays keep it.
    void append(std::string_view bytes);
    void note(const std::string& text);

    // A move begins: the file marks it with the referee's turn ("[vorlen]
    // turn 12:"; none for a turn below 0).
    void beginMove(int turn);
    // The last line the bot wrote since beginMove(), kept even past the cap
    // (at most 200 bytes of it): what it said last before it failed.
    const std::string& lastLine() const { return lastLine_; }
    // What the move wrote, with the notes on it: its first moveKeptBytes,
    // and how much it wrote in all.
    const std::string& moveStart() const { return move_; }
    std::uint64_t moveWritten() const { return moveBytes_; }

    // The first write that failed, with the system's reason; empty if none.
    const std::string& error() const { return error_; }

private:
    void writeAll(std::string_view bytes);
    // What the bot wrote, once marked: kept for the move and in the file.
    void writeBots(const std::string& bytes);
    void keepLastLine(std::string_view bytes);
    void keepForMove(std::string_view bytes);
    void markTurn();

    FileDescriptor fd_;
    std::uint64_t cap_ = 0;
    std::uint64_t size_ = 0;
    bool cut_ = false;
    std::string path_;
    std::string error_;
    std::string lastLine_;
    std::string pending_; // a line not yet ended
    std::string move_;    // the start of what this move wrote
    std::uint64_t moveBytes_ = 0;
    std::size_t moveKept_;
    bool lineOpen_ = false; // the file's last line has no end yet
    int turn_ = -1;         // the move's turn, or -1
    BotLineMarker marker_;  // the bot's lines that look like the referee's notes
    std::string marked_;    // what the marker kept of the last piece, its room reused
};

} // namespace vorlen
