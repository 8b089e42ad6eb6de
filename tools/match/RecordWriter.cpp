#include "RecordWriter.h"

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

} // namespace

bool RecordWriter::open(const std::string& path, std::string& error)
{
    path_ = path;
    fd_.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (!fd_.valid()) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    json_ = isJsonLinesPath(path);
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
