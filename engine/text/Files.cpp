#include "Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace vorlen {

FileDescriptor openRegularFile(const std::string& path, std::uint64_t sizeLimit, std::string& error)
{
    // Never blocks: a named pipe opens at once and is refused below.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.valid()) {
        error = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return FileDescriptor();
    }
    if (static_cast<std::uint64_t>(info.st_size) > sizeLimit) {
        error = "larger than " + std::to_string(sizeLimit >> 20) + " MiB";
        return FileDescriptor();
    }
    return file;
}

bool readRegularFile(const std::string& path, std::uint64_t sizeLimit, std::string& text, std::string& error)
{
    const FileDescriptor file = openRegularFile(path, sizeLimit, error);
    if (!file.valid())
        return false;
    // Read in pieces: the limit is a bound, not a size to set aside. One
    // byte over it tells a file that grew after the check.
    text.clear();
    for (;;) {
        const std::string piece = readUpTo(file.get(), 1 << 16);
        text += piece;
        if (piece.size() < (1 << 16) || text.size() > sizeLimit)
            break;
    }
    if (text.size() > sizeLimit) {
        error = "larger than " + std::to_string(sizeLimit >> 20) + " MiB";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    std::string temporary = path + ".XXXXXX";
    const FileDescriptor file(::mkstemp(temporary.data()));
    if (!file.valid()) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    // No fsync: a reader must never see half a file, which the rename
    // ensures; surviving a power cut is not worth a disk flush per match.
    int problem = ::fchmod(file.get(), 0644) == 0 ? writeFully(file.get(), bytes) : errno;
    if (problem == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        problem = errno;
    if (problem == 0)
        return true;
    ::unlink(temporary.c_str());
    error = "cannot write '" + path + "': " + std::strerror(problem);
    return false;
}

} // namespace vorlen
