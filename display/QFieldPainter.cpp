#include "QFieldPainter.h"

#include <QImage>
#include <QPainter>

namespace vorlen {

void QFieldPainter::paint(ColourTable& colours)
{
    // A pixel a cell, blown up without smoothing: square cells with no line
    // between two of one colour. The ground is black, so the half-transparent
    // colours always come out the same.
    QImage cells(columnCount(*field), rowCount(*field), QImage::Format_RGB32);
    for (int r = 0; r < cells.height(); ++r) {
        auto* line = reinterpret_cast<QRgb*>(cells.scanLine(r));
        for (int c = 0; c < cells.width(); ++c) {
            const QColor& colour = colours[(*field)[r][c]];
            const int alpha = colour.isValid() ? colour.alpha() : 0;
            line[c] = qRgb(colour.red() * alpha / 255, colour.green() * alpha / 255, colour.blue() * alpha / 255);
        }
    }
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    painter.drawImage(QRect(0, 0, cells.width() * cellPixels, cells.height() * cellPixels), cells);
    painter.end();
}

} // namespace vorlen
