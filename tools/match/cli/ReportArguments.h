#pragma once

#include "MatchConfig.h"

#include <QString>

#include <optional>

namespace vorlen::match {

// --evaluation LEVELS ("3", "1,3,5"): the search levels whose views the
// report's match pages show, each once. What is wrong with the first bad
// level, if any.
std::optional<QString> readEvaluationLevels(const QString& value, MatchConfig& config);

} // namespace vorlen::match
