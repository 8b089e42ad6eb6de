#include "Strengths.h"

#include "PositiveDefinite.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vorlen::match {
namespace {

constexpr double kSettled = 1e-12;

// One minorization–maximization step; the largest change of a log-strength.
double stepByMinorization(std::vector<double>& gamma, const std::vector<HeadToHead>& results,
                          const std::vector<bool>& inGroup)
{
    const std::size_t n = gamma.size();
    std::vector<double> points(n, 0.0);
    std::vector<double> denominator(n, 0.0);
    for (const HeadToHead& h : results) {
        if (!inGroup[h.a] || !inGroup[h.b])
            continue;
        const double played = static_cast<double>(h.wins + h.draws + h.losses);
        points[h.a] += static_cast<double>(h.wins) + 0.5 * static_cast<double>(h.draws);
        points[h.b] += static_cast<double>(h.losses) + 0.5 * static_cast<double>(h.draws);
        denominator[h.a] += played / (gamma[h.a] + gamma[h.b]);
        denominator[h.b] += played / (gamma[h.a] + gamma[h.b]);
    }
    double largest = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!inGroup[i])
            continue;
        const double next = points[i] / denominator[i];
        largest = std::max(largest, std::fabs(std::log(next / gamma[i])));
        gamma[i] = next;
    }
    return largest;
}

// One Newton step in the log-strengths, the anchor's held; the largest
// change, or a negative number when the information cannot be solved.
double stepByNewton(std::vector<double>& gamma, const std::vector<HeadToHead>& results,
                    const std::vector<std::size_t>& index, std::size_t m)
{
    constexpr std::size_t kNone = SIZE_MAX;
    std::vector<double> information(m * m, 0.0);
    std::vector<double> gradient(m, 0.0);
    for (const HeadToHead& h : results) {
        const std::size_t ia = index[h.a];
        const std::size_t ib = index[h.b];
        if (ia == kNone - 1 || ib == kNone - 1)
            continue; // outside the group
        const double played = static_cast<double>(h.wins + h.draws + h.losses);
        const double p = gamma[h.a] / (gamma[h.a] + gamma[h.b]);
        const double surplus = static_cast<double>(h.wins) + 0.5 * static_cast<double>(h.draws) - played * p;
        const double weight = played * p * (1 - p);
        if (ia != kNone) {
            gradient[ia] += surplus;
            information[ia * m + ia] += weight;
        }
        if (ib != kNone) {
            gradient[ib] -= surplus;
            information[ib * m + ib] += weight;
        }
        if (ia != kNone && ib != kNone) {
            information[ia * m + ib] -= weight;
            information[ib * m + ia] -= weight;
        }
    }
    if (!solvePositiveDefinite(information, m, gradient))
        return -1;
    // Far from the answer a full step may overshoot: at most a unit
    // (174 Elo) a step.
    double largest = 0;
    for (const double step : gradient)
        largest = std::max(largest, std::fabs(step));
    const double scale = largest > 1 ? 1 / largest : 1;
    for (std::size_t i = 0; i < index.size(); ++i)
        if (index[i] < kNone - 1)
            gamma[i] *= std::exp(scale * gradient[index[i]]);
    return largest;
}

} // namespace

std::vector<double> bradleyTerryStrengths(std::size_t n, const std::vector<HeadToHead>& results,
                                          const std::vector<bool>& inGroup, std::size_t anchor)
{
    std::vector<double> gamma(n, 1.0);
    // Each free player's place among the unknowns; the anchor's is "none",
    // a player outside the group's one less.
    constexpr std::size_t kNone = SIZE_MAX;
    std::vector<std::size_t> index(n, kNone - 1);
    std::size_t m = 0;
    for (std::size_t i = 0; i < n; ++i)
        if (inGroup[i])
            index[i] = i == anchor ? kNone : m++;
    constexpr int kNear = 20, kNewtonSteps = 50;
    for (int step = 0; step < kNear; ++step)
        if (stepByMinorization(gamma, results, inGroup) < kSettled)
            return gamma;
    for (std::size_t i = 0; i < n; ++i)
        gamma[i] /= gamma[anchor];
    double previous = 1;
    for (int step = 0; step < kNewtonSteps; ++step) {
        const double largest = stepByNewton(gamma, results, index, m);
        if (largest < 0)
            break;
        // Once Newton's steps shrink as their squares, what is left after a
        // step is of the order of its square: a step below 1e-7 so shrunk
        // leaves less than the 1e-12 asked, one solve sooner.
        if (largest < kSettled || (largest < 1e-7 && largest < previous * 1e-3))
            return gamma;
        previous = largest;
    }
    for (int step = 0; step < 100'000; ++step)
        if (stepByMinorization(gamma, results, inGroup) < kSettled)
            break;
    return gamma;
}

} // namespace vorlen::match
