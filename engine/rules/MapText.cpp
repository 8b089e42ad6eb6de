#include "MapText.h"

#include "Files.h"

#include <cerrno>
#include <unistd.h>

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
    const FileDescriptor file = openRegularFile(path, kMapSizeLimit, error);
    if (!file.valid())
        return false;
    MapReader reader(field);
    char buffer[4096];
    std::uint64_t total = 0;
    // Stops at the last cell: what follows the board's digits is never read.
    while (!reader.full() && total < kMapSizeLimit) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
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
