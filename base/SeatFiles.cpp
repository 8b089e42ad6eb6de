#include "SeatFiles.h"

#include <algorithm>
#include <string_view>

namespace vorlen {

namespace {

// Short enough, and plain text on one line: shown as it is.
bool showsWhole(const std::string& bytes)
{
    const std::string_view text = bytes.size() > 0 && bytes.back() == '\n' ? std::string_view(bytes).substr(0, bytes.size() - 1)
                                                                         : std::string_view(bytes);
    return text.size() <= 40
           && std::all_of(text.begin(), text.end(), [](char ch) { return ch >= ' ' && ch <= '~' && ch != '"'; });
}

} // namespace

std::string seatFilesLine(const SeatFiles& files)
{
    std::string line;
    for (const SeatFile& file : files.files) {
        line += line.empty() ? "" : ", ";
        if (showsWhole(file.bytes))
            line += file.path + ": \"" + file.bytes.substr(0, file.bytes.find('\n')) + "\"";
        else
            line += file.path + " (" + std::to_string(file.bytes.size()) + " bytes)";
    }
    if (line.empty())
        line = "empty";
    if (files.cutBytes > 0)
        line += "; " + std::to_string(files.cutBytes) + " bytes more not kept";
    return line;
}

bool isSoundSeatPath(const std::string& path)
{
    if (path.empty() || path.size() > 255 || path.front() == '/' || path.find('\0') != std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace vorlen
