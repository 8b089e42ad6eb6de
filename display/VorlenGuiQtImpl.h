#pragma once

#include "IVorlenGui.h"
#include "Palette.h"
#include "QFieldPainter.h"

#include <QMutex>
#include <QPixmap>

#include <memory>

class VorlenWidget;

namespace vorlen {

// The display in Qt: writes the score labels and paints the live board onto
// the board widget. One non-recursive mutex brackets every turn and every
// paint, so a paint never sees a board halfway through a turn; a paint that
// comes while a turn runs on another thread shows the board as it was.
class VorlenGuiQtImpl : public IVorlenGui {
public:
    // Remembers the widget and fills the colour table (entries already
    // present are kept).
    void init(VorlenWidget* widget);
    // Shows the six colours as the palette has them.
    void setPalette(const Palette& palette);

    void onLocked() override {}
    void lock() override;
    void unlock() override;
    void setField(const Field* field) override;
    // From another thread, the label is written on its own thread.
    void setScore(int team, int score) override;
    void draw() override;

    const ColourTable& colourTable() const { return colours; }

private:
    VorlenWidget* widget = nullptr;
    const Field* field = nullptr;
    QMutex mutex;
    ColourTable colours;
    QPixmap lastPainted;
};

std::unique_ptr<IVorlenGui> createGui();

} // namespace vorlen
