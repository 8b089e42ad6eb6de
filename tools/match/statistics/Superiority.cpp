#include "Superiority.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vorlen::match {
namespace {

// P(X = k) for X ~ Binomial(n, 1/2), k = 0 .. n.
std::vector<double> halfBinomial(long long n)
{
    std::vector<double> pmf(static_cast<std::size_t>(n) + 1);
    const double whole = std::lgamma(static_cast<double>(n) + 1) - static_cast<double>(n) * std::log(2.0);
    for (long long k = 0; k <= n; ++k)
        pmf[static_cast<std::size_t>(k)] =
            std::exp(whole - std::lgamma(static_cast<double>(k) + 1) - std::lgamma(static_cast<double>(n - k) + 1));
    return pmf;
}

} // namespace

double likelihoodOfSuperiority(long long ones, long long twos, long long lean)
{
    if (ones + twos == 0)
        return 0.5;
    if (ones + twos > kExactSamples)
        return 0.5 * std::erfc(-static_cast<double>(lean) / std::sqrt(2.0 * static_cast<double>(ones + 4 * twos)));
    // Flipped, the lean is 2a - ones + 4b - 2 twos with a ~ Bin(ones, 1/2) and
    // b ~ Bin(twos, 1/2): for each b, the a that fall below or on the lean.
    const std::vector<double> a = halfBinomial(ones);
    std::vector<double> below(a.size() + 1, 0.0); // below[k] = P(a < k)
    for (std::size_t k = 0; k < a.size(); ++k)
        below[k + 1] = below[k] + a[k];
    const auto belowAt = [&](long long k) { return below[static_cast<std::size_t>(std::clamp<long long>(k, 0, ones + 1))]; };
    const std::vector<double> b = halfBinomial(twos);
    double likelihood = 0;
    for (long long j = 0; j <= twos; ++j) {
        // 2a - ones < t  <=>  a < (t + ones) / 2, with t the lean the a must make.
        const long long u = lean - (4 * j - 2 * twos) + ones;
        const double weight = b[static_cast<std::size_t>(j)];
        if (u % 2 == 0) {
            const long long k = u / 2;
            const double at = k >= 0 && k <= ones ? a[static_cast<std::size_t>(k)] : 0.0;
            likelihood += weight * (belowAt(k) + at / 2);
        } else {
            likelihood += weight * belowAt((u + 1) / 2 - (u < 0 ? 1 : 0));
        }
    }
    return std::min(1.0, likelihood);
}

} // namespace vorlen::match
