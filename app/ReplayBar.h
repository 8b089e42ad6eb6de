#pragma once

#include <QToolBar>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// Under a replay: "back", a slider over its turns that goes where it is
// clicked, where it stands ("turn K · S of N turns"), a box to go to turn K,
// and how fast start plays it (0.25 to 8 times the clock's pace).
class ReplayBar : public QToolBar {
    Q_OBJECT

public:
    explicit ReplayBar(QWidget* parent = nullptr);

    void setLength(int turns);
    void showPosition(int shown);
    QSlider* slider() const { return turnSlider; }
    QSpinBox* turnBox() const { return goTo; }
    QString positionText() const;
    double speed() const;

signals:
    void turnChosen(int shown);
    void speedChosen(double speed);

private:
    QPushButton* backButton = nullptr;
    QSlider* turnSlider = nullptr;
    QLabel* position = nullptr;
    QSpinBox* goTo = nullptr; // turns numbered as the label numbers them; "start" before the first
    QComboBox* pace = nullptr;
};
