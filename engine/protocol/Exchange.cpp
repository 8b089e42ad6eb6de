#include "Exchange.h"

#include <sstream>

namespace vorlen {

std::optional<int> parseMove(std::istream& in)
{
    int move = 0;
    if (!(in >> move))
        return std::nullopt;
    return move;
}

std::optional<int> parseMove(const std::string& text)
{
    std::istringstream in(text);
    return parseMove(in);
}

std::optional<int> parseAnswerLine(const std::string& line)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && blank(line[begin]))
        ++begin;
    while (end > begin && blank(line[end - 1]))
        --end;
    std::size_t digits = begin < end && (line[begin] == '+' || line[begin] == '-') ? begin + 1 : begin;
    if (digits == end)
        return std::nullopt;
    for (std::size_t at = digits; at < end; ++at)
        if (line[at] < '0' || line[at] > '9')
            return std::nullopt;
    return parseMove(line.substr(begin, end - begin));
}

} // namespace vorlen
