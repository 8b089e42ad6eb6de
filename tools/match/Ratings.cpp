#include "Ratings.h"

#include <cmath>
#include <limits>

namespace vorlen::match {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Elo points per natural-log unit of strength: 400 / ln 10.
const double kEloPerUnit = 400.0 / std::log(10.0);

// Inverts a symmetric positive definite matrix in place by Gauss-Jordan;
// false when it is singular (some players not linked to the anchor).
bool invert(std::vector<std::vector<double>>& m)
{
    const std::size_t n = m.size();
    std::vector<std::vector<double>> inverse(n, std::vector<double>(n, 0.0));
    for (std::size_t i = 0; i < n; ++i)
        inverse[i][i] = 1.0;
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row)
            if (std::fabs(m[row][col]) > std::fabs(m[pivot][col]))
                pivot = row;
        if (std::fabs(m[pivot][col]) < 1e-12)
            return false;
        std::swap(m[col], m[pivot]);
        std::swap(inverse[col], inverse[pivot]);
        const double scale = m[col][col];
        for (std::size_t k = 0; k < n; ++k) {
            m[col][k] /= scale;
            inverse[col][k] /= scale;
        }
        for (std::size_t row = 0; row < n; ++row) {
            if (row == col || m[row][col] == 0.0)
                continue;
            const double factor = m[row][col];
            for (std::size_t k = 0; k < n; ++k) {
                m[row][k] -= factor * m[col][k];
                inverse[row][k] -= factor * inverse[col][k];
            }
        }
    }
    m = std::move(inverse);
    return true;
}

// For every player still fitted, its points in games against fitted players,
// and the sum over those pairings of `perPairing(results, games played)`.
struct Sums {
    std::vector<double> points;
    std::vector<double> other;
};
template <typename PerPairing>
Sums sumsOver(const std::vector<HeadToHead>& results, const std::vector<bool>& fitted, PerPairing perPairing)
{
    Sums sums{std::vector<double>(fitted.size(), 0.0), std::vector<double>(fitted.size(), 0.0)};
    for (const HeadToHead& h : results) {
        if (!fitted[h.a] || !fitted[h.b])
            continue;
        sums.points[h.a] += h.wins + 0.5 * h.draws;
        sums.points[h.b] += h.losses + 0.5 * h.draws;
        const double value = perPairing(h, static_cast<double>(h.wins + h.draws + h.losses));
        sums.other[h.a] += value;
        sums.other[h.b] += value;
    }
    return sums;
}

} // namespace

std::vector<Rating> rateByBradleyTerry(int playerCount, const std::vector<HeadToHead>& results)
{
    const auto n = static_cast<std::size_t>(playerCount);
    std::vector<Rating> ratings(n);
    // Players with every point or none have no finite rating: take them out,
    // and again for whoever that leaves with every point or none.
    std::vector<bool> fitted(n, true);
    for (bool changed = true; changed;) {
        changed = false;
        const Sums sums = sumsOver(results, fitted, [](const HeadToHead&, double played) { return played; });
        const std::vector<double>& points = sums.points;
        const std::vector<double>& games = sums.other;
        for (std::size_t i = 0; i < n; ++i) {
            if (!fitted[i] || games[i] == 0)
                continue;
            if (points[i] == 0.0 || points[i] == games[i]) {
                fitted[i] = false;
                ratings[i] = {points[i] == 0.0 ? -kInfinity : kInfinity, kInfinity};
                changed = true;
            }
        }
    }

    // Minorization-maximization (Hunter 2004) on the strengths gamma.
    std::vector<double> gamma(n, 1.0);
    for (int iteration = 0; iteration < 100'000; ++iteration) {
        const Sums sums = sumsOver(results, fitted, [&](const HeadToHead& h, double played) {
            return played / (gamma[h.a] + gamma[h.b]);
        });
        const std::vector<double>& points = sums.points;
        const std::vector<double>& denominator = sums.other;
        double largestStep = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (!fitted[i] || denominator[i] == 0.0)
                continue;
            const double next = points[i] / denominator[i];
            largestStep = std::max(largestStep, std::fabs(std::log(next / gamma[i])));
            gamma[i] = next;
        }
        if (largestStep < 1e-12)
            break;
    }

    const bool anchorFitted = fitted[0];
    for (std::size_t i = 0; i < n; ++i)
        if (fitted[i])
            ratings[i].elo = anchorFitted ? kEloPerUnit * std::log(gamma[i] / gamma[0]) : 0.0;

    // Error bars: the Fisher information in log-strengths, the anchor's row
    // and column removed, inverted.
    std::vector<std::size_t> free;
    for (std::size_t i = 1; i < n; ++i)
        if (fitted[i])
            free.push_back(i);
    std::vector<std::vector<double>> information(free.size(), std::vector<double>(free.size(), 0.0));
    auto indexOf = [&](std::size_t player) -> long {
        for (std::size_t k = 0; k < free.size(); ++k)
            if (free[k] == player)
                return static_cast<long>(k);
        return -1;
    };
    for (const HeadToHead& h : results) {
        if (!fitted[h.a] || !fitted[h.b])
            continue;
        const double played = h.wins + h.draws + h.losses;
        const double p = gamma[h.a] / (gamma[h.a] + gamma[h.b]);
        const double weight = played * p * (1 - p);
        const long ia = indexOf(h.a);
        const long ib = indexOf(h.b);
        if (ia >= 0)
            information[ia][ia] += weight;
        if (ib >= 0)
            information[ib][ib] += weight;
        if (ia >= 0 && ib >= 0) {
            information[ia][ib] -= weight;
            information[ib][ia] -= weight;
        }
    }
    const bool bounded = anchorFitted && invert(information);
    for (std::size_t k = 0; k < free.size(); ++k)
        ratings[free[k]].error = bounded ? 1.959964 * kEloPerUnit * std::sqrt(information[k][k]) : kInfinity;
    if (!anchorFitted)
        for (std::size_t i = 0; i < n; ++i)
            if (fitted[i])
                ratings[i] = {ratings[0].elo > 0 ? -kInfinity : kInfinity, kInfinity};
    return ratings;
}

} // namespace vorlen::match
