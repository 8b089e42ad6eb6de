#include "NewMatchChoices.h"

#include "PlayerFactory.h"
#include "Sandbox.h"
#include "SandboxProbe.h"
#include "StartupOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>

namespace {

using Seat = NewMatchChoices::Seat;
using Board = NewMatchChoices::Board;

const char* const kSeatOptions[2] = {"--first", "--second"};
const char* const kSeatNames[2] = {"the first seat", "the second seat"};

QString playerOf(const Seat& seat)
{
    if (seat.kind == Seat::Kind::Search)
        return QString::fromStdString(vorlen::kSearchSeatPrefix + std::to_string(seat.level));
    const vorlen::SeatPlayer player{seat.kind, seat.command.trimmed().toLocal8Bit().toStdString(), {}};
    return QString::fromLocal8Bit(player.text());
}

// Settings hold numbers as text; anything else read back is the default.
template <typename Enum>
Enum enumFrom(const QVariant& value, Enum last, Enum fallback)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok && number >= 0 && number <= static_cast<int>(last) ? static_cast<Enum>(number) : fallback;
}

} // namespace

std::optional<NewMatchChoices> rematchChoices(const NewMatchChoices& base, const std::array<std::string, 2>& players,
                                              const std::string& boardSource)
{
    NewMatchChoices rematch = base;
    const QString source = QString::fromLocal8Bit(boardSource);
    const QStringList seed = source.split(':');
    bool seedRead = false;
    bool gameRead = false;
    if (seed.size() == 3 && seed[0] == "seed") {
        rematch.board = Board::Seeded;
        rematch.seed = seed[1].toULongLong(&seedRead);
        rematch.game = seed[2].toInt(&gameRead);
        if (!seedRead || !gameRead)
            return std::nullopt;
    } else if (source.startsWith("map:") && !source.contains('+')) {
        rematch.board = Board::Map;
        rematch.path = source.mid(4);
    } else {
        return std::nullopt;
    }
    for (std::size_t seat = 0; seat < 2; ++seat) {
        const vorlen::SeatPlayer player = vorlen::parseSeatPlayer(players[1 - seat]);
        rematch.seats[seat].kind = player.kind;
        rematch.seats[seat].level = player.kind == Seat::Kind::Search ? player.level : 1;
        rematch.seats[seat].command =
            player.isProgram()
                ? QString::fromLocal8Bit(player.command + (player.ownDir.empty() ? "" : vorlen::kOwnDirSuffix + player.ownDir))
                : QString();
    }
    return rematch;
}

QStringList newMatchArguments(const NewMatchChoices& choices)
{
    QStringList arguments;
    for (int seat = 0; seat < 2; ++seat)
        arguments << kSeatOptions[seat] << playerOf(choices.seats[static_cast<std::size_t>(seat)]);
    switch (choices.board) {
    case Board::Seeded:
        arguments << "--seed" << QString::number(choices.seed) << "--game" << QString::number(choices.game);
        break;
    case Board::Map: arguments << "--map" << choices.path; break;
    case Board::List: arguments << "--boards" << choices.path << "--game" << QString::number(choices.game); break;
    case Board::Random: break;
    }
    if (choices.sandbox)
        arguments << "--sandbox";
    if (choices.noTimeLimit)
        arguments << "--no-time-limit";
    else
        arguments << "--move-time" << QString::number(choices.moveTimeMs);
    return arguments;
}

std::string newMatchProblem(const NewMatchChoices& choices, const std::string& workingDir)
{
    for (int seat = 0; seat < 2; ++seat) {
        const Seat& chosen = choices.seats[static_cast<std::size_t>(seat)];
        if (!vorlen::SeatPlayer::programKind(chosen.kind))
            continue;
        if (chosen.command.trimmed().isEmpty())
            return std::string(kSeatNames[seat]) + " needs a program";
        const std::string command = chosen.command.trimmed().toLocal8Bit().toStdString();
        if (const auto problem = vorlen::programProblem(command, workingDir))
            return std::string(kSeatNames[seat]) + ": " + *problem;
    }
    if (choices.board == Board::Map || choices.board == Board::List) {
        if (choices.path.isEmpty())
            return choices.board == Board::Map ? "the board needs a map file" : "the board needs a board list";
        if (choices.board == Board::Map && !QFileInfo(choices.path).isFile())
            return "the map " + QFile::encodeName(choices.path).toStdString() + " is not a file";
    }
    QStringList arguments{"vorlen"};
    arguments << newMatchArguments(choices);
    if (const std::string problem = startupProblem(scanStartupOptions(arguments)); !problem.empty())
        return problem;
    const bool programs = std::any_of(choices.seats.begin(), choices.seats.end(), [](const Seat& seat) {
        return vorlen::SeatPlayer::programKind(seat.kind);
    });
    std::string why;
    if (choices.sandbox && programs && !vorlen::probeSandbox(vorlen::findSandbox(), why))
        return "the sandbox: " + why;
    return {};
}

void saveNewMatchChoices(QSettings& settings, const NewMatchChoices& choices)
{
    settings.beginGroup("newMatch");
    for (int seat = 0; seat < 2; ++seat) {
        const Seat& chosen = choices.seats[static_cast<std::size_t>(seat)];
        settings.setValue(QString("seat%1/kind").arg(seat), static_cast<int>(chosen.kind));
        settings.setValue(QString("seat%1/command").arg(seat), chosen.command);
        settings.setValue(QString("seat%1/level").arg(seat), chosen.level);
    }
    settings.setValue("board", static_cast<int>(choices.board));
    settings.setValue("seed", QString::number(choices.seed));
    settings.setValue("game", choices.game);
    settings.setValue("path", choices.path);
    settings.setValue("sandbox", choices.sandbox);
    settings.setValue("moveTimeMs", choices.moveTimeMs);
    settings.setValue("noTimeLimit", choices.noTimeLimit);
    settings.endGroup();
}

std::optional<QString> choicesFile(std::string& warning)
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/vorlen/vorlen.conf";
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        warning = QFile::encodeName(path).toStdString() + " is not a regular file: the choices are not kept";
        return std::nullopt;
    }
    return path;
}

NewMatchChoices loadNewMatchChoices(const QSettings& settings)
{
    const NewMatchChoices fallback;
    NewMatchChoices choices;
    const auto value = [&](const QString& key) { return settings.value("newMatch/" + key); };
    for (int seat = 0; seat < 2; ++seat) {
        Seat& chosen = choices.seats[static_cast<std::size_t>(seat)];
        chosen.kind = enumFrom(value(QString("seat%1/kind").arg(seat)), Seat::Kind::Search, Seat::Kind::BuiltIn);
        chosen.command = value(QString("seat%1/command").arg(seat)).toString();
        bool levelRead = false;
        const int level = value(QString("seat%1/level").arg(seat)).toInt(&levelRead);
        chosen.level = levelRead && vorlen::isSearchLevel(level) ? level : 1;
    }
    choices.board = enumFrom(value("board"), Board::List, Board::Random);
    bool ok = false;
    const qulonglong seed = value("seed").toString().toULongLong(&ok);
    choices.seed = ok ? seed : fallback.seed;
    const int game = value("game").toInt(&ok);
    choices.game = ok && game >= 0 ? game : fallback.game;
    choices.path = value("path").toString();
    choices.sandbox = value("sandbox").toBool();
    const int ms = value("moveTimeMs").toInt(&ok);
    choices.moveTimeMs = ok && ms > 0 ? ms : fallback.moveTimeMs;
    choices.noTimeLimit = value("noTimeLimit").toBool();
    return choices;
}
