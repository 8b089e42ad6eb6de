#pragma once

#include "IVorlenLogic.h"

#include <memory>
#include <string>

namespace vorlen {

inline constexpr int kExternalPlayer = 1;
inline constexpr int kBuiltInPlayer = 2;
// How the built-in player is named on command lines, records and replays.
inline constexpr const char* kBuiltInName = "stupid";

// Kind 1: an external program player running `program`; every other kind:
// the built-in greedy player (the text is ignored). Never null.
std::unique_ptr<IVorlenLogic> createPlayer(int kind, const std::string& program);

} // namespace vorlen
