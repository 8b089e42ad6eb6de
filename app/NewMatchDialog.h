#pragma once

#include "NewMatchChoices.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// File -> New match...: the seats, the board, the sandbox and the time for a
// move. It is accepted only with choices the window can play; what is wrong
// is said in the dialog.
class NewMatchDialog : public QDialog {
    Q_OBJECT

public:
    // `rematch`: what "Rematch" plays, when the match on show can be played again.
    NewMatchDialog(const NewMatchChoices& start, const std::string& workingDir, QWidget* parent = nullptr,
                   std::optional<NewMatchChoices> rematch = std::nullopt);

    // The choices on show, or the rematch's once it was chosen.
    NewMatchChoices choices() const;
    bool rematched() const { return rematched_; }
    QString problem() const;

    void accept() override;

private:
    struct SeatRow {
        QComboBox* kind = nullptr;
        QLineEdit* command = nullptr;
        QPushButton* browse = nullptr;
        QSpinBox* level = nullptr;
    };
    QWidget* seatRow(SeatRow& row, const NewMatchChoices::Seat& seat);
    QWidget* boardRows(const NewMatchChoices& start);
    void showApplicable();

    std::string workingDir_;
    std::optional<NewMatchChoices> rematch_;
    bool rematched_ = false;
    std::array<SeatRow, 2> seats_;
    QComboBox* board_ = nullptr;
    QLineEdit* seed_ = nullptr;
    QSpinBox* game_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browsePath_ = nullptr;
    QCheckBox* sandbox_ = nullptr;
    QSpinBox* moveTime_ = nullptr;
    QCheckBox* noTimeLimit_ = nullptr;
    QLabel* problem_ = nullptr;
};
