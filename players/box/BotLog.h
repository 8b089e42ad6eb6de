#pragma once

#include "FileDescriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlen {

// A bot's standard error kept in a file, appended to across its moves, and
// cut at a fixed size so that no bot can fill the disk through it. The
// referee's own notes ("[vorlen] ...") are always written.
class BotLog {
public:
    // False, with the system's reason, when the file cannot be opened.
    bool open(const std::string& path, std::uint64_t capBytes, std::string& error);
    bool isOpen() const { return fd_.valid(); }

    // What the bot wrote: kept up to the cap, then one line says it was cut.
    void append(std::string_view bytes);
    void note(const std::string& text);

    // The last line the bot wrote since beginMove(), kept even past the cap
    // (at most 200 bytes of it): what it said last before it failed.
    void beginMove() { lastLine_.clear(); pending_.clear(); }
    const std::string& lastLine() const { return lastLine_; }

    // The first write that failed, with the system's reason; empty if none.
    const std::string& error() const { return error_; }

private:
    void writeAll(std::string_view bytes);
    void keepLastLine(std::string_view bytes);

    FileDescriptor fd_;
    std::uint64_t cap_ = 0;
    std::uint64_t size_ = 0;
    bool cut_ = false;
    std::string path_;
    std::string error_;
    std::string lastLine_;
    std::string pending_; // a line not yet ended
};

} // namespace vorlen
