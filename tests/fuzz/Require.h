#pragma once

// What a target insists on, in every build type: a broken promise is a
// finding, as a crash is.
inline void require(bool holds)
{
    if (!holds)
        __builtin_trap();
}
