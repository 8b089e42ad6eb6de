#pragma once

#include "BotHints.h"
#include "BotLog.h"
#include "ExchangeFiles.h"
#include "ExternalPlayer.h"

#include <memory>
#include <optional>
#include <string>

namespace vorlen {

// A seat played by an external program, started afresh for every move. The
// board goes to "vorla.in", the answer comes back in "vorla.out", both in the
// exchange directory.
class VorlenLogicTeam01 : public ExternalPlayer {
public:
    using Outcome = vorlen::Outcome;
    using Settings = BotSettings;

    explicit VorlenLogicTeam01(std::string program);
    VorlenLogicTeam01(std::string program, Settings settings);

    int makeMove(const Field& board) override;

    Outcome lastOutcome() const override { return outcome; }
    const std::string& lastDetail() const override { return detail; }
    void endMatch() override { place.close(); }
    const char* governance() const override { return place.governance(); }

private:
    int fail(Outcome why, std::string what);
    bool prepareExchange(const Field& board);

    std::string program;
    std::unique_ptr<BotGroups> ownGroups; // before the settings, which may point into it
    Settings settings;
    Outcome outcome = Outcome::None;
    std::string detail;
    SeatPlace place;
    std::string refusedCall; // in its last move
    int moves = 0;
};

} // namespace vorlen
