#pragma once

#include "Field.h"

#include <cstdint>
#include <vector>

namespace vorlen {

// A copy of the board in one flat array framed by a border of pre-marked
// cells, so that traversals step to a neighbour without bounds checks. Each
// cell keeps its colour in the low 32 bits and its marks above them: an
// unmarked cell of colour c is then just the value c.
// Buffers are kept between loads to spare allocations in the hot path.
class PaddedGrid {
public:
    enum Mark : std::uint8_t { Visited = 1, Region = 2, Border = 4 };

    void load(const Field& field);

    int index(int row, int column) const { return (row + 1) * stride_ + column + 1; }
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    int cellCount() const { return rows_ * columns_; }
    std::int32_t colour(int index) const { return colourOf(cells_[index]); }
    std::uint8_t marks(int index) const { return static_cast<std::uint8_t>(cells_[index] >> 32); }

    // Marks with `mark` and counts the unvisited cells that share the start
    // cell's colour and connect to it through such cells; 0 if the start is
    // visited. onEdge(index) is called for every neighbour of another colour,
    // border cells included, possibly more than once.
    template <class OnEdge>
    int flood(int start, std::uint8_t mark, OnEdge onEdge);

    int flood(int start, std::uint8_t mark)
    {
        return flood(start, mark, [](int) {});
    }

private:
    static std::int32_t colourOf(std::uint64_t cell) { return static_cast<std::int32_t>(cell); }
    static std::uint64_t shifted(std::uint8_t mark) { return std::uint64_t{mark} << 32; }

    int rows_ = 0;
    int columns_ = 0;
    int stride_ = 0;
    std::vector<std::uint64_t> cells_;
    std::vector<int> pending_;
};

template <class OnEdge>
int PaddedGrid::flood(int start, std::uint8_t mark, OnEdge onEdge)
{
    if (marks(start) & Visited)
        return 0;
    const std::uint64_t fresh = cells_[start];
    const std::int32_t colour = colourOf(fresh);
    const std::uint64_t taken = fresh | shifted(mark | Visited);
    // Border cells are pre-marked visited, so they never join.
    auto joins = [&](int cell) { return cells_[cell] == fresh; };
    auto other = [&](int cell) { return colourOf(cells_[cell]) != colour; };

    // Scanline: take whole horizontal runs, then look for runs above and below.
    int counted = 0;
    pending_.clear();
    pending_.push_back(start);
    while (!pending_.empty()) {
        const int seed = pending_.back();
        pending_.pop_back();
        if (!joins(seed))
            continue;
        int left = seed;
        int right = seed;
        while (joins(left - 1))
            --left;
        while (joins(right + 1))
            ++right;
        if (other(left - 1))
            onEdge(left - 1);
        if (other(right + 1))
            onEdge(right + 1);
        for (int cell = left; cell <= right; ++cell)
            cells_[cell] = taken;
        counted += right - left + 1;

        for (const int step : {-stride_, stride_}) {
            bool stretch = false; // push one seed per stretch of joining cells
            for (int cell = left + step; cell <= right + step; ++cell) {
                const bool join = joins(cell);
                if (join && !stretch)
                    pending_.push_back(cell);
                else if (!join && other(cell))
                    onEdge(cell);
                stretch = join;
            }
        }
    }
    return counted;
}

} // namespace vorlen
