#pragma once

#include "MatchConfig.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

namespace vorlen::match {

// Command lines and paths go to the system in the locale's encoding.
inline std::string localBytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

// Why a player's command line cannot run here, before any match is played;
// `option` names where it was given. `boxed`: also whether its own folder
// can be shown to it in a box.
std::optional<QString> playerProblem(const char* option, const SeatPlayer& player, const MatchConfig& config,
                                     bool boxed = false);
// For boxed players whose bots share one folder: that each one's box hides
// the other's program and named files there, a line each pair.
std::vector<std::string> sharedFolderNotes(const MatchConfig& config);
// The values of --bot-env NAME[=VALUE].
std::optional<QString> readBotEnv(const QStringList& values, MatchConfig& config);
// The values of --player NAME=P; `seatsGiven` when --first or --second is too.
std::optional<QString> readPlayers(const QStringList& values, bool seatsGiven, MatchConfig& config);
// --tournament KIND, `set` when given.
std::optional<QString> readTournament(const QString& kind, bool set, MatchConfig& config);
// --sprt elo0=E0,elo1=E1[,alpha=A,beta=B].
std::optional<QString> readSprt(const QString& text, MatchConfig& config);
// --anchor NAME or mean, for tournaments only: after the players are read.
std::optional<QString> readAnchor(const QString& name, bool set, MatchConfig& config);

} // namespace vorlen::match
