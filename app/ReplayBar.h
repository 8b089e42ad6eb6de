#pragma once

#include <QToolBar>

class QLabel;
class QPushButton;
class QSlider;

// Under a replay: "back", a slider over its turns that goes where it is
// clicked, and "turn K / N".
class ReplayBar : public QToolBar {
    Q_OBJECT

public:
    explicit ReplayBar(QWidget* parent = nullptr);

    void setLength(int turns);
    void showPosition(int shown);
    QSlider* slider() const { return turnSlider; }
    QString positionText() const;

signals:
    void turnChosen(int shown);

private:
    QPushButton* backButton = nullptr;
    QSlider* turnSlider = nullptr;
    QLabel* position = nullptr;
};
