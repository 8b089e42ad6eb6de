#include "board.h"

namespace starter {

bool readBoard(std::istream& in, Board& board)
{
    board.cells.clear();
    std::string line;
    for (int row = 0; row < kRows; ++row) {
        if (!std::getline(in, line) || line.size() < static_cast<std::size_t>(kColumns))
            return false;
        for (int column = 0; column < kColumns; ++column)
            board.cells.push_back(line[column] - '0');
    }
    return true;
}

std::vector<int> legalColours(const Board& board)
{
    std::vector<int> colours;
    for (int colour = 1; colour <= 6; ++colour)
        if (colour != board.own() && colour != board.opponent())
            colours.push_back(colour);
    return colours;
}

std::vector<int> regionOf(const Board& board, int start)
{
    // Cells join through their four side neighbours, never diagonally.
    const int colour = board.cells[start];
    std::vector<bool> seen(board.cells.size());
    std::vector<int> region{start};
    seen[start] = true;
    for (std::size_t next = 0; next < region.size(); ++next) {
        const int cell = region[next];
        const int row = cell / kColumns;
        const int column = cell % kColumns;
        const int neighbours[4][2] = {{row > 0, cell - kColumns},
                                      {row < kRows - 1, cell + kColumns},
                                      {column > 0, cell - 1},
                                      {column < kColumns - 1, cell + 1}};
        for (const auto& [inside, near] : neighbours) {
            if (inside && !seen[near] && board.cells[near] == colour) {
                seen[near] = true;
                region.push_back(near);
            }
        }
    }
    return region;
}

Board play(const Board& board, int colour)
{
    Board after = board;
    for (const int cell : regionOf(board, 0))
        after.cells[cell] = colour;
    return after;
}

} // namespace starter
