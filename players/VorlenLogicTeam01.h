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

    // The colour its program named, or -1 when it named none.
    int makeMove(const Field& board) override { return play(board, -1).colour; }

    void endMatch() override { place.close(); }
    const char* governance() const override { return place.governance(); }

private:
    MoveResult runMove(const Field& board, int turn) override;
    // The board in place for the program; otherwise why not, noted after `label`.
    std::optional<MoveResult> prepareExchange(const Field& board, const std::string& label);
    // Its seat folder as it was when play went on from a replay.
    std::optional<MoveResult> putBackStartFiles(const std::string& label);
    // What its seat folder holds after a move, where that changed since.
    std::optional<SeatFiles> changedSeatFiles();

    std::string program;
    std::unique_ptr<BotGroups> ownGroups; // before the settings, which may point into it
    Settings settings;
    SeatPlace place;
    int moves = 0;
    SeatFiles lastKept; // what its seat folder held after its last move
};

} // namespace vorlen
