#pragma once

#include "MatchConfig.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

// What an option's row reads: its values as given (its default when it is
// not), whether it was given, and which other options were.
struct OptionInput {
    QStringList values;
    bool set = false;
    std::function<bool(const char* name)> given;

    QString value() const { return values.isEmpty() ? QString() : values.back(); }
};

// A word for the terminal that the reading leaves besides the run.
using Warnings = std::string;

// One of vorlen-match's options: its name, its value (none for a flag), its
// help and where it goes. Rows are read in the table's order, given or not,
// so a row may rely on those before it.
struct MatchOption {
    const char* name;
    const char* valueName; // nullptr: a flag
    QString help;
    QString defaultValue;
    std::function<std::optional<QString>(const OptionInput& input, MatchConfig& config, Warnings& warnings)> take;
};

} // namespace vorlen::match
