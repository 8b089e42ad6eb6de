#pragma once

#include "BotLimits.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <optional>

namespace vorlen::match {

// The options of a bot's limits: --bot-memory, --bot-cpu, --bot-cpus and
// the others, each with its default in its help.
QList<QCommandLineOption> botLimitOptions();

// Reads those that are set into `limits`; what is wrong with the first bad
// value, if any.
std::optional<QString> readBotLimits(const QCommandLineParser& parser, BotLimits& limits);

} // namespace vorlen::match
