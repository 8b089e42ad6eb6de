#pragma once

#include "MatchConfig.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vorlen::match {

// Reads the values of --move-time into the run: "MS" for every player,
// "NAME=MS" for one of the run's players (a player's own time wins over the
// run's). What is wrong with the first bad value, if any.
std::optional<QString> readMoveTimes(const QStringList& values, MatchConfig& config);

} // namespace vorlen::match
