#pragma once

#include <QObject>
#include <QSize>

class QGridLayout;
class VorlenWidget;

// The largest whole cell at which the board and what is around it fit in
// `area`; `around` is the room the rest takes. Never below `smallest`.
int fittingCell(QSize area, QSize around, int smallest);

// Keeps the board as large as its area allows, in square cells, with the
// score labels at the board's own corners: the grid's margins take up the
// room the board leaves.
class BoardFitter : public QObject {
public:
    BoardFitter(QWidget* area, QGridLayout* grid, VorlenWidget* board);

    // The area's smallest size: the board at its smallest cell.
    QSize smallestArea() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSize around() const;
    void fit();

    QWidget* area;
    QGridLayout* grid;
    VorlenWidget* board;
    int baseMargin;
};
