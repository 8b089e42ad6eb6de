#pragma once

#include "Assessment.h"
#include "BitBoard.h"
#include "Field.h"
#include "SeatPlayer.h"

#include <QDockWidget>
#include <optional>
#include <QThread>

#include <array>
#include <atomic>
#include <memory>
#include <string>

class QComboBox;
class QLabel;
class EvaluationBar;

// For the position on show, the move a search player of a chosen level
// would make and how the seat to move stands, as words and a bar. The search
// runs on a thread of its own: the window never waits for it, and a position
// left before its search ends is not searched any more.
class EvaluationPanel : public QDockWidget {
public:
    explicit EvaluationPanel(QWidget* parent = nullptr);
    ~EvaluationPanel() override;

    void setSeats(const std::array<std::string, 2>& names, const std::array<QColor, 2>& colours);
    // The board on show (seat 0's corner top-left) with `seat` to move.
    void showPosition(const vorlen::Field& board, int seat);
    int level() const;
    void setLevel(int level);
    // What is shown: the words, and seat 0's share of the bar from 0 to 1.
    QString verdict() const;
    double firstSeatShare() const;

private:
    void ask();
    void take(int generation, vorlen::Assessment seen);

    QComboBox* levels = nullptr;
    QLabel* words = nullptr;
    EvaluationBar* bar = nullptr;
    std::array<std::string, 2> names{"One", "Two"};
    std::optional<vorlen::BitBoard> board;
    int seatToMove = 0;
    // The newest position asked about: a search of an older one is skipped.
    std::shared_ptr<std::atomic<int>> newest = std::make_shared<std::atomic<int>>(0);
    QThread searcher;
    QObject* worker = nullptr; // lives on `searcher`
};
