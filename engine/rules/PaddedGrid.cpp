#include "PaddedGrid.h"

#include <algorithm>
#include <cassert>

namespace vorlen {

void PaddedGrid::load(const Field& field)
{
    const bool sameShape = rows_ == rowCount(field) && columns_ == columnCount(field);
    rows_ = rowCount(field);
    columns_ = columnCount(field);
    stride_ = columns_ + 2;
    // Traversals never write the border, so a board of the same shape only
    // needs its cells copied.
    if (!sameShape || cells_.empty())
        cells_.assign(static_cast<std::size_t>((rows_ + 2) * stride_), shifted(Border | Visited));
    pending_.reserve(static_cast<std::size_t>(cellCount()));
    for (int r = 0; r < rows_; ++r) {
        assert(static_cast<int>(field[r].size()) == columns_);
        std::transform(field[r].begin(), field[r].end(), cells_.begin() + index(r, 0),
                       [](std::int32_t colour) { return std::uint64_t{std::uint32_t(colour)}; });
    }
}

} // namespace vorlen
