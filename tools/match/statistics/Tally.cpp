#include "Tally.h"

#include "Retirement.h"

#include <algorithm>
#include <iterator>

namespace vorlen::match {
namespace {

void count(Tally::Results& results, double points)
{
    if (points == 1.0)
        ++results.wins;
    else if (points == 0.5)
        ++results.draws;
    else
        ++results.losses;
}

} // namespace

void Tally::add(const MatchRecord& record)
{
    ++matches_;
    for (const SeatRecord& seat : record.seats) {
        Player& player = players_[seat.player];
        const double points = record.pointsOf(seat.player);
        player.wins += points == 1.0;
        player.draws += points == 0.5;
        player.losses += points == 0.0;
        player.scoreSum += seat.score;
        player.moves += seat.times.moves;
        player.moveMsSum += seat.times.meanMs * seat.times.moves;
        player.maxMoveMs = std::max(player.maxMoveMs, seat.times.maxMs);
        player.nearLimit += seat.times.nearLimit;
        if (!seat.retired.empty())
            ++player.retirements[seat.retired];
        if (!seat.retired.empty() && !isGameEnd(seat.retired)) {
            std::set<std::pair<int, int>>& where = player.failedAt[seat.retired];
            where.emplace(record.game, seat.retiredTurn);
            if (where.size() > kFailuresKept)
                where.erase(std::prev(where.end()));
        }
        if (!seat.hint.empty()) {
            // The earliest game's, so that any order of the records says the same.
            const auto [known, added] = player.hints.try_emplace(seat.retired, record.game, seat.hint);
            if (!added && record.game < known->second.first)
                known->second = {record.game, seat.hint};
        }
    }
    const std::string& first = record.seats[0].player;
    const std::string& second = record.seats[1].player;
    count(between_[std::minmax(first, second)], record.pointsOf(std::min(first, second)));
    count(firstSeat_, record.pointsOf(first));
    ++firstSeats_[first];

    if (!pairs_)
        return;
    const auto names = std::minmax(first, second);
    const double points = record.pointsOf(names.first);
    const auto [half, fresh] = halfPairs_.try_emplace(record.game / 2, points);
    if (fresh)
        return;
    const auto index = static_cast<std::size_t>((half->second + points) * 2);
    halfPairs_.erase(half);
    ++pairsBetween_[names][index];
    if (names.first == firstPlayer_)
        ++pairsByPoints_[index];
    else if (names.second == firstPlayer_)
        ++pairsByPoints_[4 - index];
}

void Tally::addResults(const std::string& a, const std::string& b, const Results& results,
                       const std::array<Count, 5>& boardPairs)
{
    matches_ += results.games();
    Player& first = players_[a];
    Player& second = players_[b];
    first.wins += results.wins;
    first.draws += results.draws;
    first.losses += results.losses;
    second.wins += results.losses;
    second.draws += results.draws;
    second.losses += results.wins;
    const bool inOrder = a < b;
    Results& met = between_[std::minmax(a, b)];
    met.wins += inOrder ? results.wins : results.losses;
    met.draws += results.draws;
    met.losses += inOrder ? results.losses : results.wins;
    if (!pairs_)
        return;
    std::array<Count, 5>& boards = pairsBetween_[std::minmax(a, b)];
    for (std::size_t i = 0; i < 5; ++i)
        boards[inOrder ? i : 4 - i] += boardPairs[i];
    for (std::size_t i = 0; i < 5; ++i) {
        if (a == firstPlayer_)
            pairsByPoints_[i] += boardPairs[i];
        else if (b == firstPlayer_)
            pairsByPoints_[4 - i] += boardPairs[i];
    }
}

long long Tally::firstSeats(const std::string& name) const
{
    const auto found = firstSeats_.find(name);
    return found == firstSeats_.end() ? 0 : found->second;
}

std::array<Count, 5> Tally::pairsBetween(const std::string& a, const std::string& b) const
{
    const auto found = pairsBetween_.find(std::minmax(a, b));
    if (found == pairsBetween_.end())
        return {};
    std::array<Count, 5> counts = found->second;
    if (b < a)
        std::reverse(counts.begin(), counts.end());
    return counts;
}

const Tally::Player& Tally::player(const std::string& name) const
{
    static const Player none;
    const auto found = players_.find(name);
    return found == players_.end() ? none : found->second;
}

Tally::Results Tally::between(const std::string& a, const std::string& b) const
{
    const auto found = between_.find(std::minmax(a, b));
    if (found == between_.end())
        return {};
    const Results& r = found->second;
    return a < b ? r : Results{r.losses, r.draws, r.wins};
}

} // namespace vorlen::match
