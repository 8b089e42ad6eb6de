#include "RecordStream.h"
#include "RecordText.h"

#include "Files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace vorlen::match {

bool RecordStream::open(const std::string& path)
{
    path_ = path;
    reader_ = RecordLineReader(isJsonLinesPath(path));
    file_ = openRegularFile(path, std::numeric_limits<std::uint64_t>::max(), error_);
    buffer_.resize(std::size_t{1} << 16);
    return file_.valid();
}

std::size_t recordEnd(std::string_view text, bool csv)
{
    bool quoted = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = text.find('\n', at);
        if (newline == std::string_view::npos)
            return newline;
        if (csv)
            quoted ^= std::count(text.begin() + static_cast<long>(at), text.begin() + static_cast<long>(newline), '"') % 2
                      == 1;
        if (!quoted)
            return newline;
        at = newline + 1;
    }
    return std::string_view::npos;
}

bool RecordStream::nextLine(std::string_view& line)
{
    for (;;) {
        const char* from = buffer_.data() + start_;
        const std::size_t length = recordEnd(std::string_view(from, end_ - start_), !isJsonLinesPath(path_));
        if (length != std::string_view::npos) {
            line = std::string_view(from, length);
            start_ += length + 1;
            lineNumber_ += 1 + static_cast<long>(std::count(line.begin(), line.end(), '\n'));
            return true;
        }
        if (end_ - start_ > kLongestLine) {
            error_ = "line " + std::to_string(lineNumber_ + 1) + ": longer than any record";
            return false;
        }
        if (atEnd_) {
            // Every record is written with its line end in one piece.
            if (end_ > start_)
                warning_ = "line " + std::to_string(lineNumber_ + 1)
                           + " is cut short (a run stopped while writing it); it is left out";
            return false;
        }
        if (start_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
            end_ -= start_;
            start_ = 0;
        }
        // Small to begin with, since many files may be open at once; room
        // for the longest line when one comes.
        if (end_ == buffer_.size())
            buffer_.resize(2 * buffer_.size());
        const ssize_t got = ::read(file_.get(), buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error_ = std::strerror(errno);
            return false;
        }
        end_ += static_cast<std::size_t>(got);
        atEnd_ = got == 0;
    }
}

bool RecordStream::next(MatchRecord& record)
{
    if (!file_.valid() || !error_.empty())
        return false;
    for (std::string_view line; nextLine(line);) {
        std::string problem;
        switch (reader_.read(line, record, problem)) {
        case RecordLineReader::Line::Record: return true;
        case RecordLineReader::Line::Skip: continue;
        case RecordLineReader::Line::Bad: error_ = "line " + std::to_string(lineNumber_) + ": " + problem; return false;
        }
    }
    return false;
}

} // namespace vorlen::match
