#pragma once

#include "Elo.h"
#include "MatchRecord.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace vorlen::match {

// How many of a failure's matches a tally keeps, to name them.
inline constexpr std::size_t kFailuresKept = 5;

// Results of a run as its matches come, in any order: per player, per pair
// of players, per seat, and for two players in both seatings per board.
class Tally {
public:
    struct Player {
        long long wins = 0;
        long long draws = 0;
        long long losses = 0;
        long long scoreSum = 0;
        std::map<std::string, long long> retirements;
        // Per failure, how to fix the bot, from the earliest game that says.
        std::map<std::string, std::pair<int, std::string>> hints;
        // Per failure, where it happened: the earliest games' (game, turn),
        // at most kFailuresKept of them, whatever the order of the records.
        std::map<std::string, std::set<std::pair<int, int>>> failedAt;
        long long moves = 0;
        double moveMsSum = 0;
        double maxMoveMs = 0;
        long long nearLimit = 0;

        long long games() const { return wins + draws + losses; }
        double points() const { return wins + 0.5 * draws; }
    };
    struct Results {
        long long wins = 0;
        long long draws = 0;
        long long losses = 0;

        long long games() const { return wins + draws + losses; }
        double points() const { return wins + 0.5 * draws; }
    };

    // `firstPlayer`: whose points pairsByPoints counts; `pairs`: whether
    // games 2k and 2k + 1 are one board of one pairing in both seatings.
    explicit Tally(std::string firstPlayer = {}, bool pairs = false)
        : firstPlayer_(std::move(firstPlayer)), pairs_(pairs) {}

    void add(const MatchRecord& record);
    // Results between `a` and `b` summed elsewhere (a ladder's database), from
    // a's side, with the boards they played in both seatings by a's points:
    // what standings read, without the matches' own details.
    void addResults(const std::string& a, const std::string& b, const Results& results,
                    const std::array<Count, 5>& boardPairs);
    long long matches() const { return matches_; }
    // A player who has not played yet has no results.
    const Player& player(const std::string& name) const;
    // Results of `a` against `b`, from a's side.
    Results between(const std::string& a, const std::string& b) const;
    // Results of whoever sat first.
    const Results& firstSeat() const { return firstSeat_; }
    // How many matches a player sat first in.
    long long firstSeats(const std::string& name) const;
    // Boards played in both seatings, by the first player's points over the
    // two (0, 1/2, 1, 3/2, 2); a board with one match so far is not counted.
    const std::array<Count, 5>& pairsByPoints() const { return pairsByPoints_; }
    // The same for any two players, from a's side.
    std::array<Count, 5> pairsBetween(const std::string& a, const std::string& b) const;
    bool pairs() const { return pairs_; }

private:
    std::string firstPlayer_;
    bool pairs_;
    long long matches_ = 0;
    std::map<std::string, Player> players_;
    std::map<std::pair<std::string, std::string>, Results> between_;
    Results firstSeat_;
    std::map<std::string, long long> firstSeats_;
    std::map<int, double> halfPairs_; // by game / 2: the points of the name first in order in its one match
    std::map<std::pair<std::string, std::string>, std::array<Count, 5>> pairsBetween_; // names in order
    std::array<Count, 5> pairsByPoints_{};
};

} // namespace vorlen::match
