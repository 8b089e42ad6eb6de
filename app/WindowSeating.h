#pragma once

#include "BotEnvironment.h"
#include "BotGroups.h"
#include "MoveTime.h"
#include "SeatBuilder.h"
#include "SeatFiles.h"
#include "SeatPlayer.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

// How the window seats its live match's players: the settings its options
// give program seats, the seats the options name, and what its clock shows
// of each seat's time. It builds seats; the window seats them.
class WindowSeating {
public:
    struct Settings {
        bool sandboxed = false;
        std::string botLogDir;               // each program seat's standard error goes there; empty: kept with the moves
        std::vector<vorlen::EnvPass> botEnv; // passed on to the bots
        std::chrono::milliseconds moveTime = vorlen::kMoveTimeLimit;
        std::vector<std::string> outputs;    // the window's own files, absolute: hidden from boxed bots
    };

    void setUp(Settings settings) { settings_ = std::move(settings); }
    const Settings& settings() const { return settings_; }

    // The seat's player, beside `otherPlayer` (as given, or empty when no
    // program plays the other seat), its bots tracked in `groups`. A person
    // gets no player here.
    vorlen::BuiltSeat build(int seat, const vorlen::SeatPlayer& who, const std::string& otherPlayer,
                            vorlen::BotGroups& groups);
    // Why `player` cannot run here beside `otherPlayer`; none when it can or
    // is no program.
    std::optional<std::string> problemOf(const std::string& player, const std::string& otherPlayer) const;

    // What the seats built from now on find in their seat folders: play goes
    // on from a replay's turn where its bots left these.
    void startWith(std::array<std::optional<vorlen::SeatFiles>, 2> files) { startFiles_ = std::move(files); }
    const std::optional<vorlen::SeatFiles>& startFiles(int seat) const
    {
        return startFiles_.at(static_cast<std::size_t>(seat));
    }

    void markGiven(int seat) { given_.at(static_cast<std::size_t>(seat)) = true; }
    bool given(int seat) const { return given_.at(static_cast<std::size_t>(seat)); }
    // What the clock counts down for the seat's move: 0 for a player without
    // a limit of its own, -1 for none; the first move of a stream bot has
    // its start-up allowance on top.
    double shownLimitMs(int seat, bool firstMove) const;

private:
    Settings settings_;
    std::array<bool, 2> given_{};
    std::array<double, 2> limitMs_{};
    std::array<double, 2> firstExtraMs_{};
    std::array<std::optional<vorlen::SeatFiles>, 2> startFiles_{};
};
