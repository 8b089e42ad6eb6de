#pragma once

#include <cstdint>
#include <string>

// Reads what has been added to a log file since the last read: the part of
// a bot's standard error that belongs to its latest move.
class LogTail {
public:
    LogTail() = default;
    // What the file holds already is not new.
    explicit LogTail(std::string path);

    // At most `most` bytes of what is new, and how much is new; the rest is
    // skipped.
    struct News {
        std::string start;
        std::uint64_t size = 0;
    };
    News takeNew(std::size_t most);

private:
    std::string path;
    std::uint64_t offset = 0;
};
