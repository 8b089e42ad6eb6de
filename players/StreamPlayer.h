#pragma once

#include "BotHints.h"
#include "BotLog.h"
#include "BotProcess.h"
#include "ExchangeFiles.h"
#include "ExternalPlayer.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace vorlen {

// After the match, a bot whose input is closed has this long to end.
inline constexpr std::chrono::milliseconds kStreamGrace{250};

// A seat played by a program that stays up for the whole match: for each of
// its moves it reads the board on its standard input, as "vorla.in" holds
// it, and answers with one line holding the colour. It runs in the exchange
// directory, contained as any bot. A program that fails a move is ended at
// once, with everything it started.
class StreamPlayer : public ExternalPlayer {
public:
    StreamPlayer(std::string program, BotSettings settings);
    ~StreamPlayer() override;

    // The colour it answered, or -1 when it named none.
    int makeMove(const Field& board) override { return play(board, -1).colour; }
    // Closes its input and, after a short grace, ends what is left of it.
    void endMatch() override;
    const char* governance() const override { return place_.governance(); }

private:
    MoveResult runMove(const Field& board, int turn) override;
    // The bot up and running; otherwise why not, noted after `label`.
    std::optional<MoveResult> start(const std::string& label);

    std::string program_;
    std::unique_ptr<BotGroups> ownGroups_; // before the settings, which may point into it
    BotSettings settings_;
    SeatPlace place_;
    BotProcess process_;
    bool started_ = false;
    int moves_ = 0;
};

} // namespace vorlen
