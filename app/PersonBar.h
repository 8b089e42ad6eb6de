#pragma once

#include "Palette.h"

#include <QToolBar>

#include <array>
#include <vector>

class QToolButton;

// Offers a person the colours of its move: a swatch with its number each,
// the illegal ones disabled; a click, or the key 1 to 6, plays one.
class PersonBar : public QToolBar {
    Q_OBJECT

public:
    PersonBar(const vorlen::Palette& palette, QWidget* parent);

    // The legal colours, each with what it would add to the region on hover.
    void offer(const std::vector<int>& legal, const std::array<int, vorlen::kColourCount>& gains);
    void withdraw();
    bool offers(int colour) const;

signals:
    void chosen(int colour);

private:
    std::array<QToolButton*, vorlen::kColourCount> buttons{};
    std::array<QString, vorlen::kColourCount> names;
};
