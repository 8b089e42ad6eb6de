#include "Swatch.h"

#include <QPainter>

QPixmap swatch(const vorlen::Palette& palette, int colour, int size)
{
    QPixmap square(size, size);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setPen(QColor(60, 60, 60));
    if (vorlen::isColour(colour))
        painter.setBrush(qColour(palette.of(colour)));
    painter.drawRect(0, 0, size - 1, size - 1);
    return square;
}
