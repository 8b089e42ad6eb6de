#include "VorlenWidget.h"

#include "QFieldObject.h"

#include <QPainter>

VorlenWidget::VorlenWidget(QWidget* parent) : QWidget(parent)
{
    setFixedSize(vorlen::kBoardPixelWidth, vorlen::kBoardPixelHeight);
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
