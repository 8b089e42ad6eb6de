#include "RegionOutline.h"

#include "VorlenWidget.h"

#include <QEvent>
#include <QPainter>

RegionOutline::RegionOutline(VorlenWidget* board) : QWidget(board), board_(board)
{
    setObjectName("regionOutline");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(board->rect());
    board->installEventFilter(this);
    hide();
}

void RegionOutline::outline(std::vector<std::vector<bool>> region)
{
    region_ = std::move(region);
    show();
    raise();
    update();
}

void RegionOutline::clear()
{
    region_.clear();
    hide();
}

bool RegionOutline::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == board_ && event->type() == QEvent::Resize)
        setGeometry(board_->rect());
    return QWidget::eventFilter(watched, event);
}

void RegionOutline::paintEvent(QPaintEvent*)
{
    const int cell = board_->cellPixels();
    const auto inside = [this](int row, int column) {
        return row >= 0 && column >= 0 && row < static_cast<int>(region_.size())
               && column < static_cast<int>(region_[static_cast<std::size_t>(row)].size())
               && region_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    };
    QPainter painter(this);
    // White over black: seen on any of the board's colours.
    for (const auto& [colour, width] : {std::pair{Qt::black, 4}, {Qt::white, 2}}) {
        painter.setPen(QPen(colour, width));
        for (int row = 0; row < static_cast<int>(region_.size()); ++row)
            for (int column = 0; column < static_cast<int>(region_[static_cast<std::size_t>(row)].size()); ++column) {
                if (!inside(row, column))
                    continue;
                const int x = column * cell;
                const int y = row * cell;
                if (!inside(row - 1, column))
                    painter.drawLine(x, y, x + cell, y);
                if (!inside(row + 1, column))
                    painter.drawLine(x, y + cell, x + cell, y + cell);
                if (!inside(row, column - 1))
                    painter.drawLine(x, y, x, y + cell);
                if (!inside(row, column + 1))
                    painter.drawLine(x + cell, y, x + cell, y + cell);
            }
    }
}
