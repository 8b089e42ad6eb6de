#include "QFieldPainter.h"

#include <QPainter>

namespace vorlen {

void QFieldPainter::paint(ColourTable& colours)
{
    // A fixed black ground, so that the half-transparent colours always
    // come out the same.
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    for (int r = 0; r < kBoardRows; ++r) {
        for (int c = 0; c < kBoardColumns; ++c) {
            const QColor& colour = colours[(*field)[r][c]];
            painter.fillRect(QRect(c * cellPixels, r * cellPixels, cellPixels, cellPixels), colour);
        }
    }
    painter.end();
}

} // namespace vorlen
