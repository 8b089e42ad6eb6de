#include "PlayersPanel.h"

#include "SeatColours.h"

#include "MatchStory.h"
#include "SeatPlayer.h"
#include "Swatch.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

QString local(const std::string& text) { return QString::fromLocal8Bit(text); }

} // namespace

// A seat's card, edged in the highlight colour while the seat is to move.
// Only the edge is repainted when the mark moves: no new style, no layout.
class PlayersPanel::SeatFrame : public QFrame {
public:
    void setMarked(bool on)
    {
        if (on == marked)
            return;
        marked = on;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const int width = marked ? 3 : 1;
        painter.setPen(QPen(palette().color(marked ? QPalette::Highlight : QPalette::Mid), width));
        painter.drawRoundedRect(QRectF(rect()).adjusted(width / 2.0, width / 2.0, -width / 2.0, -width / 2.0), 4, 4);
    }

private:
    bool marked = false;
};

PlayersPanel::PlayersPanel(const vorlen::Palette& colours, QWidget* parent)
    : QDockWidget("Players", parent), palette(colours)
{
    setObjectName("playersPanel");
    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    for (int seat = 0; seat < 2; ++seat) {
        cards[static_cast<std::size_t>(seat)] = makeCard(seat);
        column->addWidget(cards[static_cast<std::size_t>(seat)].frame);
    }
    column->addWidget(makeLegend());
    column->addStretch(1);
    // Wide enough for long move times: the board must not move as they grow.
    // The swatch's column and the card's margins come before the text.
    body->setMinimumWidth(fontMetrics().horizontalAdvance("999 moves, mean 999.9 ms, largest 9.99 s") + 80);
    setWidget(body);
}

PlayersPanel::Card PlayersPanel::makeCard(int seat)
{
    Card card;
    card.frame = new SeatFrame;
    card.frame->setObjectName(seat == 0 ? "firstSeat" : "secondSeat");
    card.frame->setContentsMargins(3, 3, 3, 3);
    auto* grid = new QGridLayout(card.frame);
    card.swatch = new QLabel;
    card.name = new QLabel;
    QFont bold = card.name->font();
    bold.setBold(true);
    card.name->setFont(bold);
    // The seat's own colour, as its line in the score chart: the swatch beside it is its region's.
    card.name->setStyleSheet(QString("color: %1").arg(seatMarkColour(seat).name()));
    card.name->setTextFormat(Qt::PlainText);
    // One label for what changes every turn: one text to lay out, not four.
    card.details = new QLabel;
    card.details->setTextFormat(Qt::PlainText);
    card.seat = seat == 0 ? "first, top left" : "second, bottom right";
    grid->addWidget(card.swatch, 0, 0);
    grid->addWidget(card.name, 0, 1);
    grid->addWidget(card.details, 1, 1);
    grid->setColumnStretch(1, 1);
    return card;
}

QWidget* PlayersPanel::makeLegend()
{
    auto* legend = new QFrame;
    legend->setObjectName("legend");
    auto* grid = new QGridLayout(legend);
    grid->addWidget(new QLabel("Colours"), 0, 0, 1, 4);
    for (int colour = 1; colour <= vorlen::kColourCount; ++colour) {
        const int row = 1 + (colour - 1) / 2;
        const int column = 2 * ((colour - 1) % 2);
        auto* square = new QLabel;
        square->setPixmap(swatch(palette, colour));
        grid->addWidget(square, row, column);
        grid->addWidget(new QLabel(QString("%1 %2").arg(colour).arg(palette.nameOf(colour))), row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return legend;
}

void PlayersPanel::show(const std::array<SeatView, 2>& seats, double thinkingMs, double limitMs)
{
    for (std::size_t seat = 0; seat < 2; ++seat) {
        const SeatView& view = seats[seat];
        Card& card = cards[seat];
        if (card.colour != view.colour) {
            card.colour = view.colour;
            card.swatch->setPixmap(swatch(palette, view.colour, 18));
        }
        card.swatch->setToolTip(vorlen::isColour(view.colour)
                                    ? QString("colour %1, %2").arg(view.colour).arg(palette.nameOf(view.colour))
                                    : QString());
        card.name->setText(local(view.name));
        // A tooltip guesses at rich text: the command is shown as it is written.
        card.name->setToolTip("<p style='white-space:pre-wrap'>"
                              + local(vorlen::shownCommand(view.command)).toHtmlEscaped() + "</p>");
        const QString score = QString("score %1 (%2 %)").arg(view.score).arg(100 * view.share, 0, 'f', 1);
        const QString times = view.moves == 0 ? QString("no moves yet")
                                              : QString("%1 %2, mean %3, largest %4")
                                                    .arg(view.moves)
                                                    .arg(view.moves == 1 ? "move" : "moves")
                                                    .arg(local(durationText(view.meanMs)),
                                                         local(durationText(view.largestMs)));
        const bool moving = view.state == SeatView::State::ToMove;
        const QString status = local(statusText(view, moving ? thinkingMs : -1, limitMs));
        card.details->setText(QStringList{card.seat, score, times, status}.join('\n'));
        card.frame->setMarked(moving);
    }
}

QString PlayersPanel::text(int seat) const
{
    const Card& card = cards.at(static_cast<std::size_t>(seat));
    return card.name->text() + '\n' + card.details->text();
}
