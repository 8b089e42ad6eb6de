#include "LogTail.h"

#include "FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

std::uint64_t sizeOf(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
}

} // namespace

LogTail::LogTail(std::string path) : path(std::move(path))
{
    const vorlen::FileDescriptor fd(::open(this->path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.valid())
        offset = sizeOf(fd.get());
}

LogTail::News LogTail::takeNew(std::size_t most)
{
    if (path.empty())
        return {};
    const vorlen::FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (!fd.valid())
        return {};
    const std::uint64_t size = sizeOf(fd.get());
    if (size <= offset)
        return {};
    News news;
    news.size = size - offset;
    news.start.resize(static_cast<std::size_t>(std::min<std::uint64_t>(news.size, most)));
    const ssize_t got = ::pread(fd.get(), news.start.data(), news.start.size(), static_cast<off_t>(offset));
    news.start.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    offset = size;
    return news;
}
