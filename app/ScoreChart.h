#pragma once

#include "Replay.h"

#include <QDockWidget>

class QChart;
class QLineSeries;
class QValueAxis;

// Both scores per turn, in a dock beside the board, with a line at the turn
// on show.
class ScoreChart : public QDockWidget {
public:
    explicit ScoreChart(QWidget* parent = nullptr);

    void setPlayers(const std::array<std::string, 2>& names);
    // A seat's line keeps one colour, whatever its region's colour.
    QColor seatColour(int seat) const;
    void showTurns(const std::vector<vorlen::ReplayTurn>& turns);
    // The line at the board on show, after `shown` turns; -1 for none.
    void markTurn(int shown);

    int pointCount(int seat) const;
    // A seat's name in the legend.
    QString seatName(int seat) const;

private:
    void keepSeatColours();
    QChart* chart = nullptr;
    QLineSeries* scores[2] = {nullptr, nullptr};
    QLineSeries* marker = nullptr;
    QValueAxis* turnAxis = nullptr;
};
