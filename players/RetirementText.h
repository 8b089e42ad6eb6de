#pragma once

#include "Retirement.h"
#include "ExternalPlayer.h"

#include <string>

namespace vorlen {

// Why a seat was retired, in a bot writer's words: the referee's reason, made
// precise by what the external player saw when its move failed. `external`
// is null for the built-in player. Empty when the seat was never retired.
std::string retirementText(const Retirement& retirement, const ExternalPlayer* external);

} // namespace vorlen
