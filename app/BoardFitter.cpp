#include "BoardFitter.h"

#include "Field.h"
#include "VorlenWidget.h"

#include <QEvent>
#include <QGridLayout>
#include <QStyle>

#include <algorithm>

int fittingCell(QSize area, QSize around, int smallest)
{
    const int wide = (area.width() - around.width()) / vorlen::kBoardColumns;
    const int high = (area.height() - around.height()) / vorlen::kBoardRows;
    return std::max(smallest, std::min(wide, high));
}

BoardFitter::BoardFitter(QWidget* boardArea, QGridLayout* boardGrid, VorlenWidget* boardWidget)
    : QObject(boardArea), area(boardArea), grid(boardGrid), board(boardWidget)
{
    baseMargin = area->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    area->installEventFilter(this);
}

QSize BoardFitter::around() const
{
    // Rows above, below and under the board: a label, a label, the buttons.
    int rows = 0;
    for (const int row : {0, 2, 3})
        for (int column = 0; column < grid->columnCount(); ++column)
            if (QLayoutItem* item = grid->itemAtPosition(row, column); item && item->widget() != board) {
                rows += item->sizeHint().height();
                break;
            }
    int spacing = grid->verticalSpacing();
    if (spacing < 0)
        spacing = area->style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
    return {2 * baseMargin, rows + 3 * spacing + 2 * baseMargin};
}

QSize BoardFitter::smallestArea() const
{
    const QSize room = around();
    return {room.width() + vorlen::kBoardColumns * VorlenWidget::kSmallestCell,
            room.height() + vorlen::kBoardRows * VorlenWidget::kSmallestCell};
}

bool BoardFitter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area && event->type() == QEvent::Resize)
        fit();
    return QObject::eventFilter(watched, event);
}

void BoardFitter::fit()
{
    const QSize room = around();
    const int cell = fittingCell(area->size(), room, VorlenWidget::kSmallestCell);
    board->setCellPixels(cell);
    const QSize used(vorlen::kBoardColumns * cell + room.width(), vorlen::kBoardRows * cell + room.height());
    // The grid's span is the board's exactly: the labels sit at its corners.
    const int wide = std::max(0, area->width() - used.width());
    const int high = std::max(0, area->height() - used.height());
    grid->setContentsMargins(baseMargin + wide / 2, baseMargin + high / 2, baseMargin + wide - wide / 2,
                             baseMargin + high - high / 2);
    // The board takes its new size now, not at the next layout pass: a paint
    // in between would show cells of one size in a widget of another.
    grid->activate();
}
