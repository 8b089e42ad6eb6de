#pragma once

#include "ExternalPlayer.h"

#include <memory>
#include <string>
#include <vector>

namespace vorlen {

// What surrounds a program seat in its match.
struct SeatSurroundings {
    std::string otherPlayer;          // the other seat as given ("stream:", ",dir=" and all)
    std::vector<std::string> outputs; // the run's outputs, absolute
};

// A program seat's settings made whole, the one way every program that
// seats a bot does it: in a box, what the box shows is worked out from the
// seat's own command line, the other seat's files and the run's outputs are
// hidden, and a view that would show them refuses the box.
BotSettings programSeatSettings(const std::string& player, BotSettings settings, const SeatSurroundings& around);

// The player of a program seat on those settings; its command line's
// relative paths taken from where the referee runs.
std::unique_ptr<ExternalPlayer> buildProgramSeat(const std::string& player, BotSettings settings,
                                                 const SeatSurroundings& around);

} // namespace vorlen
