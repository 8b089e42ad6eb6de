#pragma once

#include "SeatPlayer.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class QSettings;

// What File -> New match... asks for: who sits where, on which board, how
// programs are held and how long they may take. Plain data; the window is
// made from the options it turns into, as if from the command line.
struct NewMatchChoices {
    struct Seat {
        using Kind = vorlen::SeatPlayer::Kind; // the dialog's choices, in this order
        Kind kind = Kind::BuiltIn;
        QString command; // Program and Stream: the command line
        int level = 1;   // Search: its level, 1 to kSearchSeatLevels
        bool operator==(const Seat&) const = default;
    };
    enum class Board { Random, Seeded, Map, List };

    std::array<Seat, 2> seats;
    Board board = Board::Random;
    std::uint64_t seed = 0; // Seeded
    int game = 0;           // Seeded: board K of the seed; List: line K, cycled
    QString path;           // Map: the map file; List: the board list
    bool sandbox = false;
    int moveTimeMs = 3000;
    bool noTimeLimit = false;

    bool operator==(const NewMatchChoices&) const = default;
};

// A rematch of a match on show: its players in swapped seats, on its board,
// held and timed as `base` says. None when its board cannot be chosen again
// (only a seeded board or a whole map file can).
std::optional<NewMatchChoices> rematchChoices(const NewMatchChoices& base, const std::array<std::string, 2>& players,
                                              const std::string& boardSource);

// The window's options for these choices, after the program's name.
QStringList newMatchArguments(const NewMatchChoices& choices);

// Why the window could not play these choices, said as the window's
// options would say it; empty when it can. Programs are looked for from
// `workingDir`.
std::string newMatchProblem(const NewMatchChoices& choices, const std::string& workingDir);

// The last choices are kept between runs; what cannot be read back is the
// default.
void saveNewMatchChoices(QSettings& settings, const NewMatchChoices& choices);
NewMatchChoices loadNewMatchChoices(const QSettings& settings);
// Where they are kept ($XDG_CONFIG_HOME/vorlen/vorlen.conf), or none, with a
// warning, when that is not a regular file: a named pipe there would hang
// the window, a device or a folder is no settings file.
std::optional<QString> choicesFile(std::string& warning);
