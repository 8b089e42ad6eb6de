#pragma once

#include "IVorlenGui.h"

#include <QWidget>

#include <vector>

class QLabel;

// The widget the board is shown on, square cells of a size its window
// chooses. It paints nothing itself: every paint event goes to the display.
class VorlenWidget : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSmallestCell = 7;

    explicit VorlenWidget(QWidget* parent = nullptr);

    // Draws the board image with its top-left corner at the widget's origin.
    // Only valid inside this widget's paint event.
    void showPixmap(const QPixmap& pixmap);

    // The cell it paints: the one its window chose, or smaller while the
    // widget is smaller than that.
    int cellPixels() const;
    void setCellPixels(int pixels);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    std::vector<QLabel*> labels; // score labels, index = seat; not owned
    vorlen::IVorlenGui* gui = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int cell;
};
