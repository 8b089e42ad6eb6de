#pragma once

#include "IVorlenGui.h"

#include <QWidget>

#include <vector>

class QLabel;

// The fixed-size widget the board is shown on. It paints nothing itself:
// every paint event goes to the display.
class VorlenWidget : public QWidget {
    Q_OBJECT

public:
    explicit VorlenWidget(QWidget* parent = nullptr);

    // Draws the board image with its top-left corner at the widget's origin.
    // Only valid inside this widget's paint event.
    void showPixmap(const QPixmap& pixmap);

    std::vector<QLabel*> labels; // score labels, index = seat; not owned
    vorlen::IVorlenGui* gui = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
};
