#include "Ratings.h"

#include "Elo.h"
#include "PositiveDefinite.h"
#include "Strengths.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>

namespace vorlen::match {
namespace {

using Matrix = std::vector<std::vector<double>>;

// Elo points per natural-log unit of strength: 400 / ln 10.
const double kEloPerUnit = 400.0 / std::log(10.0);

// Who scored against whom, directly or through a chain of players each of
// whom scored against the next: a row of bits a player, so that a field of
// a thousand closes in a few million word operations.
class Reach {
public:
    Reach(std::size_t n, const std::vector<HeadToHead>& results) : words_((n + 63) / 64), rows_(n * words_, 0)
    {
        for (const HeadToHead& h : results) {
            if (h.wins + h.draws > 0)
                set(h.a, h.b);
            if (h.losses + h.draws > 0)
                set(h.b, h.a);
        }
        for (std::size_t k = 0; k < n; ++k)
            for (std::size_t i = 0; i < n; ++i)
                if (i != k && (*this)(i, k))
                    for (std::size_t w = 0; w < words_; ++w)
                        rows_[i * words_ + w] |= rows_[k * words_ + w];
    }
    bool operator()(std::size_t i, std::size_t j) const { return (rows_[i * words_ + j / 64] >> (j % 64)) & 1U; }

private:
    void set(std::size_t i, std::size_t j) { rows_[i * words_ + j / 64] |= std::uint64_t{1} << (j % 64); }

    std::size_t words_;
    std::vector<std::uint64_t> rows_;
};

// Of the ratings measured from the group's mean: Var(x_i - mean x).
std::vector<double> variancesFromMean(const Matrix& c, const std::vector<bool>& inGroup)
{
    const std::size_t n = c.size();
    double k = 0;
    double total = 0;
    std::vector<double> rowSums(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        if (!inGroup[i])
            continue;
        ++k;
        for (std::size_t j = 0; j < n; ++j)
            if (inGroup[j])
                rowSums[i] += c[i][j];
        total += rowSums[i];
    }
    std::vector<double> variances(n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        if (inGroup[i])
            variances[i] = c[i][i] - 2 * rowSums[i] / k + total / (k * k);
    return variances;
}

} // namespace

Ratings rateByBradleyTerry(int playerCount, const std::vector<HeadToHead>& results, RatingAnchor chosen)
{
    const auto n = static_cast<std::size_t>(playerCount);
    Ratings ratings;
    ratings.elo.assign(n, std::nan(""));
    ratings.low.assign(n, std::nan(""));
    ratings.high.assign(n, std::nan(""));
    ratings.standing.assign(n, Standing::NoGames);
    ratings.covariance.assign(n, std::vector<double>(n, 0.0));
    std::vector<bool> played(n, false);
    for (const HeadToHead& h : results)
        if (h.wins + h.draws + h.losses > 0)
            played[h.a] = played[h.b] = true;

    const Reach reach(n, results);
    const auto together = [&](std::size_t i, std::size_t j) { return reach(i, j) && reach(j, i); };
    const auto rateable = [&](std::size_t i) { return played[i] && together(i, i); };
    if (chosen.player >= 0 && chosen.player < playerCount && rateable(static_cast<std::size_t>(chosen.player)))
        ratings.anchor = chosen.player;
    for (std::size_t i = 0; i < n && ratings.anchor < 0; ++i)
        if (rateable(i))
            ratings.anchor = static_cast<int>(i);
    if (ratings.anchor < 0) {
        for (std::size_t i = 0; i < n; ++i)
            if (played[i])
                ratings.standing[i] = Standing::Apart;
        return ratings;
    }
    ratings.poolMean = chosen.poolMean;
    const auto anchor = static_cast<std::size_t>(ratings.anchor);
    std::vector<bool> inGroup(n, false);
    for (std::size_t i = 0; i < n; ++i) {
        if (!played[i])
            continue;
        inGroup[i] = together(i, anchor);
        ratings.standing[i] = inGroup[i]         ? Standing::Rated
                              : reach(i, anchor) ? Standing::Above
                              : reach(anchor, i) ? Standing::Below
                                                 : Standing::Apart;
    }

    const std::vector<double> gamma = bradleyTerryStrengths(n, results, inGroup, anchor);
    // The Fisher information in log-strengths, the anchor's row and column
    // removed, inverted.
    constexpr std::size_t kNone = SIZE_MAX;
    std::vector<std::size_t> index(n, kNone);
    std::vector<std::size_t> free;
    for (std::size_t i = 0; i < n; ++i) {
        if (inGroup[i] && i != anchor) {
            index[i] = free.size();
            free.push_back(i);
        }
    }
    const std::size_t m = free.size();
    std::vector<double> information(m * m, 0.0);
    for (const HeadToHead& h : results) {
        if (!inGroup[h.a] || !inGroup[h.b])
            continue;
        const double p = gamma[h.a] / (gamma[h.a] + gamma[h.b]);
        const double games = h.effectiveGames > 0 ? h.effectiveGames : h.wins + h.draws + h.losses;
        const double weight = games * p * (1 - p);
        const std::size_t ia = index[h.a];
        const std::size_t ib = index[h.b];
        if (ia != kNone)
            information[ia * m + ia] += weight;
        if (ib != kNone)
            information[ib * m + ib] += weight;
        if (ia != kNone && ib != kNone) {
            information[ia * m + ib] -= weight;
            information[ib * m + ia] -= weight;
        }
    }
    const bool bounded = invertPositiveDefinite(information, m);
    if (bounded)
        for (const std::size_t i : free)
            for (const std::size_t j : free)
                ratings.covariance[i][j] = information[index[i] * m + index[j]];

    double shift = 0; // the group's mean, where that is at 0
    if (ratings.poolMean) {
        double count = 0;
        for (std::size_t i = 0; i < n; ++i)
            if (inGroup[i]) {
                shift += kEloPerUnit * std::log(gamma[i] / gamma[anchor]);
                ++count;
            }
        shift /= count;
    }
    const std::vector<double> variances = ratings.poolMean ? variancesFromMean(ratings.covariance, inGroup)
                                                           : std::vector<double>();
    for (std::size_t i = 0; i < n; ++i) {
        if (!inGroup[i])
            continue;
        const double elo = kEloPerUnit * std::log(gamma[i] / gamma[anchor]) - shift;
        ratings.elo[i] = elo;
        if (!bounded) {
            ratings.low[i] = -std::numeric_limits<double>::infinity();
            ratings.high[i] = std::numeric_limits<double>::infinity();
            continue;
        }
        const double variance = ratings.poolMean ? variances[i] : ratings.covariance[i][i];
        if (!(variance > 0))
            continue; // the anchor
        const double p = scoreOf(elo);
        std::tie(ratings.low[i], ratings.high[i]) = eloInterval(p, 1 / (variance * p * (1 - p)));
    }
    return ratings;
}

double likelihoodOfSuperiority(const Ratings& ratings, int i, int j)
{
    const auto& c = ratings.covariance;
    const auto a = static_cast<std::size_t>(i);
    const auto b = static_cast<std::size_t>(j);
    const double variance = c[a][a] + c[b][b] - 2 * c[a][b];
    const double difference = (ratings.elo[a] - ratings.elo[b]) / kEloPerUnit;
    if (!(variance > 0))
        return difference > 0 ? 1.0 : difference < 0 ? 0.0 : 0.5;
    return normalCdf(difference / std::sqrt(variance));
}

} // namespace vorlen::match
