#include "Rules.h"

#include <algorithm>
#include <cassert>

namespace vorlen {
namespace {

struct Cell {
    int row;
    int column;
};

constexpr Cell kNeighbourSteps[] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

} // namespace

void floodFill(Field& field, int colour, int oldColour, int row, int column)
{
    if (!contains(field, row, column))
        return;
    const int current = field[row][column];
    if (oldColour == -1)
        oldColour = current;
    if (current != oldColour || colour == oldColour)
        return;

    const int rows = rowCount(field);
    const int columns = columnCount(field);
    // Scanline: recolour whole horizontal runs, then seed the runs above and
    // below. Recolouring is what marks a cell as done.
    std::vector<Cell> pending{{row, column}};
    while (!pending.empty()) {
        const auto [r, c] = pending.back();
        pending.pop_back();
        auto& line = field[r];
        if (line[c] != oldColour)
            continue;
        int left = c;
        int right = c;
        while (left > 0 && line[left - 1] == oldColour)
            --left;
        while (right + 1 < columns && line[right + 1] == oldColour)
            ++right;
        std::fill(line.begin() + left, line.begin() + right + 1, colour);
        for (const int next : {r - 1, r + 1}) {
            if (next < 0 || next >= rows)
                continue;
            const auto& nextLine = field[next];
            bool stretch = false; // one seed per stretch of old colour
            for (int x = left; x <= right; ++x) {
                const bool old = nextLine[x] == oldColour;
                if (old && !stretch)
                    pending.push_back({next, x});
                stretch = old;
            }
        }
    }
}

int regionSize(const Field& field, VisitedGrid& visited, int row, int column, int colour)
{
    if (!contains(field, row, column))
        return 0;
    const int own = field[row][column];
    if ((colour != -1 && own != colour) || visited.test(row, column))
        return 0;

    assert(visited.rows() == rowCount(field) && visited.columns() == columnCount(field));
    int counted = 1;
    std::vector<Cell> pending{{row, column}};
    visited.set(row, column);
    while (!pending.empty()) {
        const Cell cell = pending.back();
        pending.pop_back();
        for (const Cell step : kNeighbourSteps) {
            const int r = cell.row + step.row;
            const int c = cell.column + step.column;
            if (contains(field, r, c) && field[r][c] == own && !visited.test(r, c)) {
                visited.set(r, c);
                ++counted;
                pending.push_back({r, c});
            }
        }
    }
    return counted;
}

ScorePair computeScore(const Field& field)
{
    PaddedGrid grid;
    return computeScore(field, grid);
}

ScorePair computeScore(const Field& field, PaddedGrid& grid)
{
    if (field.empty() || field.front().empty())
        return {0, 0};
    grid.load(field);
    const int first = grid.flood(grid.index(0, 0), PaddedGrid::Visited);
    const int second =
        grid.flood(grid.index(grid.rows() - 1, grid.columns() - 1), PaddedGrid::Visited);
    return {first, second};
}

bool playColour(Field& field, int seat, int colour)
{
    // Neither corner's colour: the same from either side of the board.
    if (!isLegalColour(field, colour))
        return false;
    if (seat == 0)
        floodFill(field, colour, -1, 0, 0);
    else
        floodFill(field, colour, -1, rowCount(field) - 1, columnCount(field) - 1);
    return true;
}

void rotateField(Field& field)
{
    // A half turn reverses the cells in reading order: the rows, then each row.
    std::reverse(field.begin(), field.end());
    for (auto& row : field) {
        assert(row.size() == field.front().size());
        std::reverse(row.begin(), row.end());
    }
}

bool isLegalColour(const Field& field, int colour)
{
    if (!isColour(colour) || field.empty() || field.front().empty())
        return false;
    return colour != field.front().front() && colour != field.back().back();
}

std::vector<int> legalColours(const Field& field)
{
    std::vector<int> colours;
    for (int colour = 1; colour <= kColourCount; ++colour)
        if (isLegalColour(field, colour))
            colours.push_back(colour);
    return colours;
}

} // namespace vorlen
