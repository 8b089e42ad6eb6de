// Reading what a bot left in its seat folder, as the bot could have made it
// anything: links, pipes, deep folders, many files. Nothing is followed,
// nothing opened that could block, and the caps hold whatever it made.
#include "Exchange.h"
#include "ExchangeFiles.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlen {
namespace {

// Entries looked at in one reading, files or not: a folder of a million
// names costs no more than this.
constexpr std::size_t kEntriesLooked = 4096;

class FolderReader {
public:
    SeatFiles read(int dirFd)
    {
        readFolder(dirFd, "", 0);
        std::sort(kept_.files.begin(), kept_.files.end(),
                  [](const SeatFile& a, const SeatFile& b) { return a.path < b.path; });
        return std::move(kept_);
    }

private:
    void readFolder(int dirFd, const std::string& prefix, int depth)
    {
        FileDescriptor copy(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0));
        DIR* listing = copy.valid() ? ::fdopendir(copy.get()) : nullptr;
        if (!listing)
            return;
        copy.release(); // the listing owns it now
        ::rewinddir(listing);
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || (prefix.empty() && (name == kInputFileName || name == kOutputFileName)))
                continue;
            if (++looked_ > kEntriesLooked)
                break;
            readEntry(::dirfd(listing), name, prefix + name, depth);
        }
        ::closedir(listing);
    }

    void readEntry(int dirFd, const std::string& name, const std::string& path, int depth)
    {
        struct stat info {};
        if (::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (S_ISDIR(info.st_mode)) {
            const FileDescriptor sub(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.valid() && depth + 1 < kSeatFilesDepth)
                readFolder(sub.get(), path + "/", depth + 1);
            return;
        }
        if (!S_ISREG(info.st_mode))
            return;
        const auto size = static_cast<std::uint64_t>(info.st_size);
        const std::size_t room = kSeatFilesBytes - used_;
        if (kept_.files.size() >= kSeatFilesCount || !isSoundSeatPath(path) || size > room) {
            kept_.cutBytes += size;
            return;
        }
        const FileDescriptor file(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat opened {};
        if (!file.valid() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
            return;
        std::string bytes = readUpTo(file.get(), room);
        used_ += bytes.size();
        kept_.files.push_back({path, std::move(bytes)});
    }

    SeatFiles kept_;
    std::size_t used_ = 0;
    std::size_t looked_ = 0;
};

} // namespace

SeatFiles ExchangeFiles::readSeatFiles() const { return FolderReader().read(fd_.get()); }

} // namespace vorlen
