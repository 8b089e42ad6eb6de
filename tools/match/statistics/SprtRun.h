#pragma once

#include "ExactLlr.h"
#include "MatchRecord.h"
#include "Sprt.h"

#include <array>
#include <map>
#include <string>

namespace vorlen::match {

// The test of one run, fed its matches in any order and counting them in
// game order, so that where it stops does not depend on which match
// happened to finish first. With --swap a sample is a board in both
// seatings (pentanomial), else one match (trinomial); results are from the
// first player's side. Once decided, the verdict and its counts stay.
class SprtRun {
public:
    SprtRun(SprtSettings settings, std::string firstPlayer, bool pairs)
        : settings_(settings), first_(std::move(firstPlayer)), pairs_(pairs),
          trinomialLlr_(kMatchScores, settings.elo0, settings.elo1, settings.normalised, 1),
          pentanomialLlr_(kPairScores, settings.elo0, settings.elo1, settings.normalised, 2) {}

    void add(const MatchRecord& record);

    double llr() const { return llr_; }
    SprtVerdict verdict() const { return verdict_; }
    bool decided() const { return verdict_ != SprtVerdict::Open; }
    Count samples() const; // matches, or boards with --swap, counted so far
    const SprtSettings& settings() const { return settings_; }
    bool pairs() const { return pairs_; }
    // What it counted: by the first player's points, a pair's (0, 1/2, 1,
    // 3/2, 2) or a match's (0, 1/2, 1); the other array stays empty.
    const std::array<Count, 5>& pentanomial() const { return pentanomial_; }
    const std::array<Count, 3>& trinomial() const { return trinomial_; }

    // "LLR 1.23 (-2.94, 2.94)", with the verdict once there is one.
    std::string text() const;

private:
    void countReady();

    SprtSettings settings_;
    std::string first_;
    bool pairs_;
    std::map<int, double> waiting_; // points of the first player, by game
    int nextGame_ = 0;
    std::array<Count, 3> trinomial_{};
    std::array<Count, 5> pentanomial_{};
    ExactLlr<3> trinomialLlr_;
    ExactLlr<5> pentanomialLlr_;
    double llr_ = 0;
    SprtVerdict verdict_ = SprtVerdict::Open;
};

} // namespace vorlen::match
