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

} // namespace vorlen
