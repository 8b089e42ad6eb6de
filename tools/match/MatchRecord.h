#pragma once

#include "FileDescriptor.h"
#include "Replay.h"

#include <array>
#include <mutex>
#include <string>

namespace vorlen::match {

struct SeatRecord {
    char player = 'A';        // 'A' (--first) or 'B' (--second)
    std::string command;      // "stupid" or the program's command line
    int score = 0;
    std::string retired;      // why the seat was retired, empty if it never was
    int retiredTurn = -1;
    MoveTimes times;
};

// One finished match. Seats in seat order: [0] top-left, [1] bottom-right.
struct MatchRecord {
    int game = 0;
    std::string board;
    std::array<SeatRecord, 2> seats;
    int turns = 0;
    std::string containment = "none"; // "sandbox" when bots ran in bubblewrap

    // 'A', 'B', or 'D' for a draw: the higher final score wins.
    char winner() const;
};

std::string csvHeader();
std::string toCsv(const MatchRecord& record);
std::string toJsonLine(const MatchRecord& record);

// Appends records to a file, each written out as soon as it is given, from
// any thread, and from several runs sharing the file. CSV, or JSON Lines when
// the name ends in ".jsonl".
class RecordWriter {
public:
    RecordWriter() = default;
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    // False, with the reason, when the file cannot be opened or its header
    // cannot be written.
    bool open(const std::string& path, std::string& error);
    // False once a write failed; error() tells why. Nothing is written after.
    bool write(const MatchRecord& record);
    const std::string& error() const { return error_; }

private:
    bool writeLocked(const std::string& text);

    std::mutex mutex_;
    FileDescriptor fd_;
    bool json_ = false;
    std::string path_;
    std::string error_;
};

} // namespace vorlen::match
