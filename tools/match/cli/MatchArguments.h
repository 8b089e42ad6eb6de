#pragma once

#include "MatchConfig.h"

#include <QStringList>

#include <optional>
#include <string>

namespace vorlen::match {

// What the command line asks for, or what to print and the exit code when it
// asks for help, the version, or makes no sense.
struct ParsedArguments {
    std::optional<MatchConfig> config;
    int exitCode = 0;
    std::string out;
    std::string err;
};

ParsedArguments parseMatchArguments(const QStringList& arguments, int defaultConcurrency);

} // namespace vorlen::match
