// Who plays a run, and how they are judged: the players, the tournament, the SPRT.
#include "PlayerArguments.h"

#include "MatchPlay.h"

#include <QRegularExpression>

#include <filesystem>
#include <set>

namespace vorlen::match {
namespace {

// Names go into records, tables and file names: plain words only.
bool goodName(const QString& name)
{
    static const QRegularExpression pattern("^[A-Za-z0-9_+-][A-Za-z0-9_.+-]{0,63}$");
    return pattern.match(name).hasMatch() && name != "D";
}

} // namespace

// Why a player's command line cannot run here, before any match is played.
std::optional<QString> playerProblem(const char* option, const SeatPlayer& player, const MatchConfig& config,
                                     bool boxed)
{
    switch (player.kind) {
    case SeatPlayer::Kind::BuiltIn: return std::nullopt;
    case SeatPlayer::Kind::Search:
        if (const auto problem = searchLevelProblem(player))
            return QString("--%1: %2").arg(option, QString::fromStdString(*problem));
        return std::nullopt;
    case SeatPlayer::Kind::Person:
        return QString("--%1: a person plays only in the window (vorlen --first person)").arg(option);
    case SeatPlayer::Kind::Program:
    case SeatPlayer::Kind::Stream: break;
    }
    ProgramCheck check{std::filesystem::current_path().string(), botPath(config.botEnv), boxed, {}, {}};
    if (boxed) {
        check.outputs = runOutputs(config);
        for (const NamedPlayer& other : config.players())
            if (other.seat != player)
                check.others.push_back(other.seat);
    }
    if (const auto problem = programProblem(player, check))
        return QString("--%1: %2").arg(option, QString::fromLocal8Bit(*problem));
    return std::nullopt;
}

std::vector<std::string> sharedFolderNotes(const MatchConfig& config)
{
    const std::vector<NamedPlayer> players = config.players();
    const ProgramCheck check{std::filesystem::current_path().string(), botPath(config.botEnv), true, {}, {}};
    std::vector<std::string> notes;
    for (std::size_t i = 0; i < players.size(); ++i)
        for (std::size_t j = i + 1; j < players.size(); ++j) {
            const std::string folder = boxFolderOf(players[i].seat, check);
            if (!folder.empty() && players[i].seat != players[j].seat
                && folder == boxFolderOf(players[j].seat, check))
                notes.push_back(players[i].name + " and " + players[j].name + " share the folder " + folder
                                + ": each one's box hides the other's program and the files its command line names");
        }
    return notes;
}

std::optional<QString> readBotEnv(const QStringList& values, MatchConfig& config)
{
    for (const QString& value : values) {
        EnvPass pass;
        if (const auto problem = parseEnvPass(localBytes(value), pass))
            return "--bot-env: " + QString::fromLocal8Bit(*problem);
        config.botEnv.push_back(pass);
    }
    return std::nullopt;
}

std::optional<QString> readPlayers(const QStringList& values, bool seatsGiven, MatchConfig& config)
{
    if (values.isEmpty())
        return std::nullopt;
    if (seatsGiven)
        return "--player cannot be used with --first or --second";
    std::set<QString> names;
    for (const QString& value : values) {
        const qsizetype equals = value.indexOf('=');
        const QString name = value.left(equals);
        if (equals < 0 || !goodName(name))
            return "--player needs NAME=P with a NAME of letters, digits and _.+- (not \"D\", which "
                   "marks a draw), not '" + value + "'";
        if (!names.insert(name).second)
            return "--player: the name '" + name + "' is given twice";
        const std::string command = localBytes(value.mid(equals + 1));
        if (command.empty())
            return "--player " + name + ": a player needs a command line, \"stupid\" or \"search:1\" to \"search:5\"";
        const SeatPlayer given = parseSeatPlayer(command);
        if (const auto problem = playerProblem("player", given, config))
            return *problem;
        config.named.push_back({localBytes(name), given});
    }
    if (config.named.size() < 2)
        return QString("a run needs two players; --player was given once");
    return std::nullopt;
}

std::optional<QString> readTournament(const QString& kind, bool set, MatchConfig& config)
{
    if (kind == "round-robin")
        config.tournament = Tournament::RoundRobin;
    else if (kind == "gauntlet")
        config.tournament = Tournament::Gauntlet;
    else if (set)
        return "--tournament is round-robin or gauntlet, not '" + kind + "'";
    if (config.tournament == Tournament::None && config.players().size() > 2)
        return QString("three or more players need --tournament round-robin or gauntlet");
    return std::nullopt;
}

std::optional<QString> readAnchor(const QString& name, bool set, MatchConfig& config)
{
    if (!set)
        return std::nullopt;
    if (config.tournament == Tournament::None)
        return QString("--anchor chooses who is at 0 in a tournament's standings; a two-player run measures the "
                       "first player against the second");
    for (const NamedPlayer& player : config.players())
        if (player.name == name.toStdString()) {
            config.anchor = player.name;
            return std::nullopt;
        }
    if (name != "mean")
        return "--anchor is a player's name or mean, not '" + name + "'";
    config.anchor = "mean";
    return std::nullopt;
}

std::optional<QString> readSprt(const QString& text, MatchConfig& config)
{
    if (config.players().size() != 2)
        return QString("--sprt compares two players, not a tournament");
    // Spaces around the parts are forgiven on the command line.
    QStringList parts;
    for (const QString& part : text.split(','))
        parts << part.section('=', 0, 0).trimmed() + "=" + part.section('=', 1).trimmed();
    config.sprt = parseSprtSettings(parts.join(',').toStdString());
    if (!config.sprt)
        return "--sprt needs elo0=E0,elo1=E1 (or nelo0=E0,nelo1=E1 in normalised Elo) with E0 < E1, and may give "
               "alpha=A,beta=B between 0 and 0.5, not '"
               + text + "'";
    return std::nullopt;
}

} // namespace vorlen::match
