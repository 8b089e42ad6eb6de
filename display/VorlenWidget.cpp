#include "VorlenWidget.h"

#include "Field.h"
#include "QFieldObject.h"

#include <QPainter>

#include <algorithm>

VorlenWidget::VorlenWidget(QWidget* parent) : QWidget(parent), cell(vorlen::kCellPixels)
{
    // Never larger than whole cells: the layout may shrink it, the window
    // then picks a smaller cell.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    resize(sizeHint());
}

void VorlenWidget::setCellPixels(int pixels)
{
    pixels = std::max(pixels, kSmallestCell);
    if (pixels == cell)
        return;
    cell = pixels;
    updateGeometry();
    update();
}

int VorlenWidget::cellPixels() const
{
    return std::max(1, std::min({cell, width() / vorlen::kBoardColumns, height() / vorlen::kBoardRows}));
}

QSize VorlenWidget::sizeHint() const { return {vorlen::kBoardColumns * cell, vorlen::kBoardRows * cell}; }

QSize VorlenWidget::minimumSizeHint() const
{
    return {vorlen::kBoardColumns * kSmallestCell, vorlen::kBoardRows * kSmallestCell};
}

void VorlenWidget::showPixmap(const QPixmap& pixmap)
{
    QPainter painter(this);
    painter.drawPixmap(QPointF(0, 0), pixmap);
    painter.end();
}

void VorlenWidget::paintEvent(QPaintEvent*)
{
    if (gui)
        gui->draw();
}
