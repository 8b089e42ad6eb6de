#include "Exchange.h"

#include <sstream>

namespace vorlen {

std::string buildInput(const Field& board)
{
    std::string text;
    text.reserve(board.size() * (board.empty() ? 1 : board.front().size() + 1));
    for (const auto& row : board) {
        for (const std::int32_t cell : row) {
            // Colours are single digits; anything else is written out whole.
            if (cell >= 0 && cell <= 9)
                text += static_cast<char>('0' + cell);
            else
                text += std::to_string(cell);
        }
        text += '\n';
    }
    return text;
}

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
