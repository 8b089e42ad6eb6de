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
    NewMatchDialog(const NewMatchChoices& start, const std::string& workingDir, QWidget* parent = nullptr);

    NewMatchChoices choices() const;
    QString problem() const;

    void accept() override;

private:
    struct SeatRow {
        QComboBox* kind = nullptr;
        QLineEdit* command = nullptr;
        QPushButton* browse = nullptr;
    };
    QWidget* seatRow(SeatRow& row, const NewMatchChoices::Seat& seat);
    QWidget* boardRows(const NewMatchChoices& start);
    void showApplicable();

    std::string workingDir_;
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
