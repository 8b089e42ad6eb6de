#pragma once

#include <cstdint>
#include <vector>

namespace vorlen {

// One flag per cell, packed 64 to a word; all clear when created.
class VisitedGrid {
public:
    VisitedGrid(int rows, int columns)
        : rows_(rows), columns_(columns),
          words_((static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns) + 63) / 64, 0)
    {
    }

    int rows() const { return rows_; }
    int columns() const { return columns_; }

    bool test(int row, int column) const
    {
        const std::size_t bit = index(row, column);
        return (words_[bit / 64] >> (bit % 64)) & 1U;
    }

    void set(int row, int column)
    {
        const std::size_t bit = index(row, column);
        words_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }

    bool anySet() const
    {
        for (const std::uint64_t word : words_) {
            if (word != 0)
                return true;
        }
        return false;
    }

private:
    std::size_t index(int row, int column) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_)
               + static_cast<std::size_t>(column);
    }

    int rows_;
    int columns_;
    std::vector<std::uint64_t> words_;
};

} // namespace vorlen
