#include "RecordWriter.h"
#include "RecordText.h"

#include "RecordFields.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen::match {
namespace {

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

// The size of the file up to its last line end: what is past it is a record
// cut short by a run that stopped while writing it.
off_t wholeSize(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return 0;
    char piece[4096];
    for (off_t end = info.st_size; end > 0;) {
        const off_t from = std::max<off_t>(0, end - static_cast<off_t>(sizeof piece));
        const ssize_t got = ::pread(fd, piece, static_cast<std::size_t>(end - from), from);
        if (got <= 0)
            return info.st_size; // unreadable: left as it is
        for (ssize_t i = got - 1; i >= 0; --i)
            if (piece[i] == '\n')
                return from + i + 1;
        end = from;
    }
    return 0;
}

} // namespace

bool RecordWriter::open(const std::string& path, std::string& error)
{
    path_ = path;
    fd_.reset(::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd_.valid()) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    json_ = isJsonLinesPath(path);
    // The size is looked at under the lock: two runs may open the file at once.
    const FileLock lock(fd_.get());
    struct stat info {};
    const off_t whole = wholeSize(fd_.get());
    if (::fstat(fd_.get(), &info) == 0 && info.st_size > whole && ::ftruncate(fd_.get(), whole) != 0) {
        error = "cannot cut the last, unfinished record off '" + path + "': " + std::strerror(errno);
        return false;
    }
    // A header only at the top of a new CSV file.
    if (!json_ && whole == 0 && !writeLocked(csvHeader())) {
        error = error_;
        return false;
    }
    if (!json_ && whole > 0 && !readHeader(error))
        return false;
    return true;
}

bool RecordWriter::readHeader(std::string& error)
{
    // An earlier version's file has fewer columns: its records go on with them.
    std::string top(4096, '\0');
    const ssize_t got = ::pread(fd_.get(), top.data(), top.size(), 0);
    top.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const std::size_t end = top.find('\n');
    const std::string header = end == std::string::npos ? std::string() : top.substr(0, end + 1);
    for (std::size_t count = kEarlierFieldCount; count <= recordFields().size(); ++count)
        if (header == csvHeader(count)) {
            csvFields_ = count;
            return true;
        }
    error = "'" + path_ + "' does not begin with the header of vorlen-match's records";
    return false;
}

bool RecordWriter::writeLocked(const std::string& text)
{
    // One write per record on a file opened for appending: records of runs
    // sharing the file never interleave.
    struct stat before {};
    const bool sized = ::fstat(fd_.get(), &before) == 0;
    const ssize_t wrote = ::write(fd_.get(), text.data(), text.size());
    if (wrote == static_cast<ssize_t>(text.size()))
        return true;
    const int failure = wrote < 0 ? errno : ENOSPC;
    // A record is whole or absent: what went in of this one is taken back.
    error_ = "cannot write to '" + path_ + "': " + std::strerror(failure);
    if (wrote > 0 && sized && ::ftruncate(fd_.get(), before.st_size) != 0)
        error_ += "; its last record is cut short";
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
    return writeLocked(json_ ? toJsonLine(record) : toCsv(record, csvFields_));
}

} // namespace vorlen::match
