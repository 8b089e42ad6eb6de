#pragma once

#include "ExternalPlayer.h"
#include "SeatPlayer.h"

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
BotSettings programSeatSettings(const SeatPlayer& player, BotSettings settings, const SeatSurroundings& around);

// The player of a program seat on those settings; its command line's
// relative paths taken from where the referee runs.
std::unique_ptr<ExternalPlayer> buildProgramSeat(const SeatPlayer& player, BotSettings settings,
                                                 const SeatSurroundings& around);

// A seat as built, with what is recorded and shown of its time.
struct BuiltSeat {
    std::unique_ptr<IVorlenLogic> player;
    ExternalPlayer* program = nullptr; // the player, when a program plays the seat
    int recordedMoveLimitMs = 0;       // as replays and records keep it: 0 for none
    double shownMoveLimitMs = 0;       // what a clock counts down: 0 for the built-in player, -1 for none
    double firstMoveExtraMs = 0;       // a stream bot's start-up allowance, on top of its first move's time
};

// The one way a seat is built, by the window, vorlen-match and the ladder
// alike: the built-in player, or a program on `settings` made whole as
// above. A person is the window's own to seat: it gets no player here.
BuiltSeat buildSeat(const SeatPlayer& who, BotSettings settings, const SeatSurroundings& around);

} // namespace vorlen
