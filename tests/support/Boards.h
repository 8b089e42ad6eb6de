#pragma once

#include "Field.h"

#include <string>
#include <vector>

namespace vorlen::testing {

// A board from rows of digits, e.g. {"112", "312", "332"}.
inline Field boardFromRows(const std::vector<std::string>& rows)
{
    Field field;
    for (const auto& text : rows) {
        std::vector<std::int32_t> row;
        for (const char ch : text)
            row.push_back(ch - '0');
        field.push_back(row);
    }
    return field;
}

// A match-sized board in a regular pattern in which no two neighbours share
// a colour; the two corners are set apart as asked.
inline Field stripedBoard(int topLeft = 1, int bottomRight = 2)
{
    Field field = makeField(kBoardRows, kBoardColumns);
    for (int r = 0; r < kBoardRows; ++r)
        for (int c = 0; c < kBoardColumns; ++c)
            field[r][c] = 3 + (r + c) % 2;
    field[0][0] = topLeft;
    field[kBoardRows - 1][kBoardColumns - 1] = bottomRight;
    return field;
}

} // namespace vorlen::testing
