#pragma once

#include "Palette.h"
#include "Replay.h"

#include <QDockWidget>

class QTableWidget;

// Every turn of the match in a table: turn, seat, colour, cells gained,
// time. In a replay a click on a turn shows the board after it.
class MoveList : public QDockWidget {
    Q_OBJECT

public:
    explicit MoveList(const vorlen::Palette& palette, QWidget* parent = nullptr);

    // Shows the turns of `replay`: only the new ones when it is the one
    // already shown, grown.
    void showTurns(const vorlen::Replay& replay);
    void clear();
    // Marks the turn after which the board is shown; 0: none.
    void markTurn(int shown);
    int rows() const;
    QString cellText(int row, int column) const;

signals:
    void turnChosen(int shown);

private:
    void addRow(const vorlen::Replay& replay, std::size_t index);

    vorlen::Palette palette;
    QTableWidget* table = nullptr;
};
