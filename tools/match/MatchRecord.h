#pragma once

#include <array>
#include <cstdio>
#include <mutex>
#include <string>

namespace vorlen::match {

struct SeatRecord {
    char player = 'A';        // 'A' (--first) or 'B' (--second)
    std::string command;      // "stupid" or the program's command line
    int score = 0;
    std::string retired;      // why the seat was retired, empty if it never was
    int retiredTurn = -1;
};

// One finished match. Seats in seat order: [0] top-left, [1] bottom-right.
struct MatchRecord {
    int game = 0;
    std::string board;
    std::array<SeatRecord, 2> seats;
    int turns = 0;

    // 'A', 'B', or 'D' for a draw: the higher final score wins.
    char winner() const;
};

std::string csvHeader();
std::string toCsv(const MatchRecord& record);
std::string toJsonLine(const MatchRecord& record);

// Appends records to a file, each flushed as soon as it is written, from any
// thread. CSV, or JSON Lines when the name ends in ".jsonl".
class RecordWriter {
public:
    // False, with the reason, when the file cannot be opened.
    bool open(const std::string& path, std::string& error);
    void write(const MatchRecord& record);
    ~RecordWriter();

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool json_ = false;
};

} // namespace vorlen::match
