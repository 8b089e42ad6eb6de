#include "MatchRecord.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen::match {
namespace {

std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char ch : text)
        quoted += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return quoted + "\"";
}

// Times to the microsecond: enough for any bot, and short.
std::string milliseconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

constexpr const char* kSeatNames[] = {"first", "second"};

// An exclusive lock on the whole file for as long as the object lives.
class FileLock {
public:
    explicit FileLock(int fd) : fd_(fd)
    {
        while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FileLock() { ::flock(fd_, LOCK_UN); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int fd_;
};

} // namespace

char MatchRecord::winner() const
{
    if (seats[0].score == seats[1].score)
        return 'D';
    return seats[0].score > seats[1].score ? seats[0].player : seats[1].player;
}

std::string csvHeader()
{
    return "game,board,first_player,first,second_player,second,turns,first_score,second_score,"
           "winner,first_retired,first_retired_turn,second_retired,second_retired_turn,containment,"
           "first_mean_ms,first_max_ms,first_near_limit,second_mean_ms,second_max_ms,second_near_limit\n";
}

std::string toCsv(const MatchRecord& record)
{
    std::string line = std::to_string(record.game);
    auto field = [&line](const std::string& text) {
        line += ',';
        line += text;
    };
    field(csvField(record.board));
    for (const SeatRecord& seat : record.seats) {
        field(std::string(1, seat.player));
        field(csvField(seat.command));
    }
    field(std::to_string(record.turns));
    for (const SeatRecord& seat : record.seats)
        field(std::to_string(seat.score));
    field(std::string(1, record.winner()));
    for (const SeatRecord& seat : record.seats) {
        field(csvField(seat.retired));
        field(seat.retiredTurn >= 0 ? std::to_string(seat.retiredTurn) : std::string());
    }
    field(csvField(record.containment));
    for (const SeatRecord& seat : record.seats) {
        field(milliseconds(seat.times.meanMs));
        field(milliseconds(seat.times.maxMs));
        field(std::to_string(seat.times.nearLimit));
    }
    line += '\n';
    return line;
}

std::string toJsonLine(const MatchRecord& record)
{
    using Json = nlohmann::ordered_json;
    Json line;
    line["game"] = record.game;
    line["board"] = record.board;
    for (int s = 0; s < 2; ++s) {
        const std::string seat = kSeatNames[s];
        line[seat + "_player"] = std::string(1, record.seats[s].player);
        line[seat] = record.seats[s].command;
    }
    line["turns"] = record.turns;
    for (int s = 0; s < 2; ++s)
        line[std::string(kSeatNames[s]) + "_score"] = record.seats[s].score;
    line["winner"] = std::string(1, record.winner());
    for (int s = 0; s < 2; ++s) {
        const SeatRecord& seat = record.seats[s];
        const std::string name = kSeatNames[s];
        line[name + "_retired"] = seat.retired.empty() ? Json(nullptr) : Json(seat.retired);
        line[name + "_retired_turn"] = seat.retiredTurn >= 0 ? Json(seat.retiredTurn) : Json(nullptr);
    }
    line["containment"] = record.containment;
    for (int s = 0; s < 2; ++s) {
        const MoveTimes& times = record.seats[s].times;
        const std::string name = kSeatNames[s];
        line[name + "_mean_ms"] = std::round(times.meanMs * 1000.0) / 1000.0;
        line[name + "_max_ms"] = std::round(times.maxMs * 1000.0) / 1000.0;
        line[name + "_near_limit"] = times.nearLimit;
    }
    // Command lines come in the locale's bytes; JSON is UTF-8.
    return line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

bool RecordWriter::open(const std::string& path, std::string& error)
{
    path_ = path;
    fd_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd_.valid()) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    json_ = path.size() >= 6 && path.compare(path.size() - 6, 6, ".jsonl") == 0;
    if (json_)
        return true;
    // A header only at the top of a new CSV file, even when two runs open it
    // at once: the size is looked at under the lock.
    const FileLock lock(fd_.get());
    struct stat info {};
    if (::fstat(fd_.get(), &info) == 0 && info.st_size == 0 && !writeLocked(csvHeader())) {
        error = error_;
        return false;
    }
    return true;
}

bool RecordWriter::writeLocked(const std::string& text)
{
    // One write per record on a file opened for appending: records of runs
    // sharing the file never interleave.
    const ssize_t wrote = ::write(fd_.get(), text.data(), text.size());
    if (wrote == static_cast<ssize_t>(text.size()))
        return true;
    error_ = "cannot write to '" + path_ + "': " + std::strerror(wrote < 0 ? errno : ENOSPC);
    return false;
}

bool RecordWriter::write(const MatchRecord& record)
{
    const std::lock_guard guard(mutex_);
    if (!fd_.valid())
        return true;
    if (!error_.empty())
        return false;
    const FileLock lock(fd_.get());
    return writeLocked(json_ ? toJsonLine(record) : toCsv(record));
}

} // namespace vorlen::match
