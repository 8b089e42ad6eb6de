#pragma once

#include <QWidget>

#include <vector>

class VorlenWidget;

// A line around a person's region on the board while the person is to move,
// drawn over the board widget without taking its clicks.
class RegionOutline : public QWidget {
    Q_OBJECT

public:
    explicit RegionOutline(VorlenWidget* board);

    // The region as the window's board shows it, cell by cell.
    void outline(std::vector<std::vector<bool>> region);
    void clear();
    bool outlining() const { return !region_.empty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    VorlenWidget* board_;
    std::vector<std::vector<bool>> region_;
};
