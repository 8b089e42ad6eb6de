#pragma once

#include "Palette.h"
#include "SeatView.h"

#include <QDockWidget>

#include <array>

class QLabel;

// Both seats side by side with the match: name, region colour, score, move
// times and status, the seat to move marked; and a legend of the colours.
class PlayersPanel : public QDockWidget {
public:
    explicit PlayersPanel(const vorlen::Palette& palette, QWidget* parent = nullptr);

    // `thinkingMs` >= 0: the seat to move is thinking for that long, of `limitMs`.
    void show(const std::array<SeatView, 2>& seats, double thinkingMs = -1, double limitMs = 0);
    QString text(int seat) const; // everything the seat's card says, for tests

private:
    class SeatFrame;
    struct Card {
        SeatFrame* frame = nullptr;
        QLabel* swatch = nullptr;
        QLabel* name = nullptr;
        QLabel* details = nullptr; // seat, score, move times, status
        QString seat;
        int colour = -1; // on the swatch
    };
    Card makeCard(int seat);
    QWidget* makeLegend();

    vorlen::Palette palette;
    std::array<Card, 2> cards;
};
