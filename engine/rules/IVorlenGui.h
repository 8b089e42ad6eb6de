#pragma once

#include "Field.h"

namespace vorlen {

// The display the referee reports every turn to. The lock is not re-entrant:
// between lock() and unlock() nothing may make draw() run.
class IVorlenGui {
public:
    // Called by lock() once the lock is held.
    virtual void onLocked() = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    // Keeps the pointer and reads the live board at every paint.
    virtual void setField(const Field* field) = 0;
    virtual void setScore(int team, int score) = 0;
    virtual void draw() = 0;
    virtual ~IVorlenGui() {}
};

} // namespace vorlen
