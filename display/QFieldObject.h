#pragma once

#include <QPixmap>

namespace vorlen {

inline constexpr int kCellPixels = 15;
inline constexpr int kBoardPixelWidth = 45 * kCellPixels;  // 675
inline constexpr int kBoardPixelHeight = 41 * kCellPixels; // 615

// The off-screen image a board is painted into, `cellPixels` square a cell.
class QFieldObject {
public:
    explicit QFieldObject(int pixels = kCellPixels)
        : pixmap(45 * pixels, 41 * pixels), cellPixels(pixels)
    {
    }

    QPixmap pixmap;
    int cellPixels;
};

} // namespace vorlen
