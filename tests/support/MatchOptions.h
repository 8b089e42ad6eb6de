#pragma once

#include "MatchArguments.h"

#include <QStringList>

namespace vorlen::testing {

// vorlen-match's options as its main reads them, with two cores.
inline match::ParsedArguments parseOptions(QStringList arguments)
{
    arguments.prepend("vorlen-match");
    return match::parseMatchArguments(arguments, 2);
}

} // namespace vorlen::testing
