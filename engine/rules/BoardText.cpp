#include "BoardText.h"

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

std::optional<std::string> parseBoardText(std::string_view text, Field& board)
{
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    Field read = makeField(kBoardRows, kBoardColumns);
    int row = 0;
    for (std::size_t start = 0; start <= text.size(); ++row) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (row >= kBoardRows)
            return "more than " + std::to_string(kBoardRows) + " lines";
        const std::string where = "line " + std::to_string(row + 1) + ": ";
        if (line.size() != static_cast<std::size_t>(kBoardColumns))
            return where + std::to_string(line.size()) + " characters, not " + std::to_string(kBoardColumns) + " digits";
        for (int column = 0; column < kBoardColumns; ++column) {
            const char cell = line[static_cast<std::size_t>(column)];
            if (cell < '1' || cell > '0' + kColourCount)
                return where + "column " + std::to_string(column + 1) + " is not a colour from 1 to "
                       + std::to_string(kColourCount);
            read[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = cell - '0';
        }
    }
    if (row != kBoardRows)
        return std::to_string(row) + " lines, not " + std::to_string(kBoardRows);
    board = std::move(read);
    return std::nullopt;
}

} // namespace vorlen
