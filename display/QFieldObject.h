#pragma once

#include <QPixmap>

namespace vorlen {

inline constexpr int kCellPixels = 15;
inline constexpr int kBoardPixelWidth = 45 * kCellPixels;  // 675
inline constexpr int kBoardPixelHeight = 41 * kCellPixels; // 615

// The off-screen image a board is painted into.
class QFieldObject {
public:
    QFieldObject() : pixmap(kBoardPixelWidth, kBoardPixelHeight) {}

    QPixmap pixmap;
};

} // namespace vorlen
