#pragma once

#include "FileDescriptor.h"
#include "MatchRecord.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace simdjson::dom {
class parser;
}

namespace vorlen::match {

// Reads records one line at a time, CSV (its header first) or JSON Lines: a
// record is one flat line, so nothing in a line may nest.
class RecordLineReader {
public:
    enum class Line { Record, Skip, Bad };

    explicit RecordLineReader(bool json);
    ~RecordLineReader();
    RecordLineReader(RecordLineReader&&) noexcept;
    RecordLineReader& operator=(RecordLineReader&&) noexcept;

    // Skip for an empty line or the CSV header; Bad with `problem` set.
    Line read(std::string_view line, MatchRecord& record, std::string& problem);

private:
    Line readJson(std::string_view line, MatchRecord& record, std::string& problem);
    Line readCsv(std::string_view line, MatchRecord& record, std::string& problem);

    bool json_;
    std::unique_ptr<simdjson::dom::parser> parser_; // for JSON: kept, so its memory is reused
    std::size_t csvFields_ = 0;                     // of the header, once read
    std::vector<std::string> fields_;
};

// Where the record at the start of `text` ends: at its first line end, or
// in CSV at the first one outside quotes (a quoted field may hold a line
// break). npos while it is not all there.
std::size_t recordEnd(std::string_view text, bool csv);

// A results file read a record at a time, in constant memory: what lets a
// summary of millions of records run anywhere. Only a regular file opens. A
// last line without its line end (a run stopped while writing it) is left
// out with a warning; a line longer than any record is an error.
class RecordStream {
public:
    static constexpr std::size_t kLongestLine = std::size_t{1} << 20;

    bool open(const std::string& path);
    // The next record; false at the end and at a bad line (`error()` says).
    bool next(MatchRecord& record);

    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }
    const std::string& warning() const { return warning_; }

private:
    bool nextLine(std::string_view& line);

    std::string path_;
    FileDescriptor file_;
    RecordLineReader reader_{false};
    std::vector<char> buffer_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    long lineNumber_ = 0;
    std::string error_;
    std::string warning_;
};

} // namespace vorlen::match
