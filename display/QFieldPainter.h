#pragma once

#include "Field.h"
#include "QFieldObject.h"

#include <QColor>

#include <map>

namespace vorlen {

using ColourTable = std::map<int, QColor>;

// Paints one board into its image: a solid square per cell, 15 × 15 unless
// told otherwise, row 0 on top, with the colours of the display's table.
class QFieldPainter : public QFieldObject {
public:
    explicit QFieldPainter(const Field* board, int pixels = kCellPixels)
        : QFieldObject(pixels), field(board)
    {
    }
    virtual ~QFieldPainter() = default;

    // A cell value without an entry gets one holding an invalid colour.
    virtual void paint(ColourTable& colours);

private:
    const Field* field;
};

} // namespace vorlen
