#pragma once

#include "MatchConfig.h"

#include <QString>

#include <optional>
#include <string>

namespace vorlen::match {

// --play-from REPLAY@K: reads the replay and checks that there is a match to
// play on from there. What is wrong, if anything.
std::optional<QString> readStart(const std::string& value, MatchConfig& config);

// --map FILE: reads the map the run's boards come from.
std::optional<QString> readMap(const QString& value, MatchConfig& config);

} // namespace vorlen::match
