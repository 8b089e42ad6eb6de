#pragma once

#include <QStringList>

#include <string>
#include <vector>

// What the command line asks of the window, in the order it asks it.
struct StartupAction {
    enum class Type { SetPlayer, LoadMap, Sandbox };
    Type type;
    int seat = 0;         // SetPlayer: 0 for "--first", 1 for "--second"
    int kind = 0;         // SetPlayer: the player factory's kind
    std::string value;    // the program's command line, or the map path, in the locale's encoding

    bool operator==(const StartupAction&) const = default;
};

// Scans every argument, the program path included. "--first" / "--second"
// take the next argument as a player ("stupid": built-in, "human": no change,
// anything else: a program's command line); "--map" takes a map path;
// "--sandbox" runs every program in a sandbox. A value is never read as an
// option; an option with no value ends the scan.
std::vector<StartupAction> scanStartupOptions(const QStringList& arguments);
