#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vorlen {

// The board, addressed field[row][column] with row 0 on top. Every row is as
// long as row 0; cells hold colours 1 to 6.
using Field = std::vector<std::vector<std::int32_t>>;

// Region sizes in seat order: first player (top-left), second (bottom-right).
using ScorePair = std::pair<std::int32_t, std::int32_t>;

inline constexpr int kBoardRows = 41;
inline constexpr int kBoardColumns = 45;
inline constexpr int kBoardCells = kBoardRows * kBoardColumns;
inline constexpr int kColourCount = 6;

inline Field makeField(int rows, int columns, std::int32_t value = 0)
{
    return Field(static_cast<std::size_t>(rows),
                 std::vector<std::int32_t>(static_cast<std::size_t>(columns), value));
}

inline int rowCount(const Field& field) { return static_cast<int>(field.size()); }

inline int columnCount(const Field& field)
{
    return field.empty() ? 0 : static_cast<int>(field.front().size());
}

inline bool contains(const Field& field, int row, int column)
{
    return row >= 0 && column >= 0 && row < rowCount(field) && column < columnCount(field);
}

inline bool isColour(int value) { return value >= 1 && value <= kColourCount; }

} // namespace vorlen
