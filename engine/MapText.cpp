#include "MapText.h"

#include "FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace vorlen {

void fillRandom(Field& field, const std::function<int()>& draw)
{
    for (auto& row : field) {
        for (auto& cell : row)
            cell = draw() % kColourCount + 1;
    }
}

bool MapReader::full() const { return row_ >= field_.size(); }

bool MapReader::feed(std::string_view text)
{
    for (const char ch : text) {
        if (full())
            return false;
        if (ch < '1' || ch > '6')
            continue;
        field_[row_][column_] = ch - '0';
        echo_ += ch;
        if (++column_ == field_[row_].size()) {
            echo_ += '\n';
            column_ = 0;
            ++row_;
        }
    }
    return !full();
}

std::string readMapText(std::string_view text, Field& field)
{
    MapReader reader(field);
    reader.feed(text);
    return reader.echo();
}

bool readMapFile(const std::string& path, Field& field, std::string& echo, std::string& error)
{
    // Never blocks: a named pipe opens at once and is refused below.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    const int fd = file.get();
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMapSizeLimit) {
        error = "larger than " + std::to_string(kMapSizeLimit >> 20) + " MiB";
        return false;
    }
    MapReader reader(field);
    char buffer[4096];
    std::uint64_t total = 0;
    // Stops at the last cell: what follows the board's digits is never read.
    while (!reader.full() && total < kMapSizeLimit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += static_cast<std::uint64_t>(got);
        reader.feed({buffer, static_cast<std::size_t>(got)});
    }
    echo = reader.echo();
    return true;
}

} // namespace vorlen
