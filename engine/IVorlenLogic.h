#pragma once

#include "Field.h"

namespace vorlen {

// A player: shown the board from its own corner (its home at (0, 0), the
// opponent's at the last cell), it names the colour it plays. Any value
// outside 1 to 6 is a failed move. Only the referee writes `active`.
class IVorlenLogic {
public:
    bool active = true;

    virtual int makeMove(const Field& field) = 0;
    virtual ~IVorlenLogic() = default;
};

} // namespace vorlen
