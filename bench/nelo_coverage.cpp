// How often the normalised Elo's 95 % interval covers the truth: board
// pairs of two games drawn at a known Elo difference (a draw one game in
// ten), at 30 and 1,000 pairs. Prints the printed interval's coverage (the
// delta method) beside the one it replaced (the score interval's bounds put
// through the formula with the spread held fixed), over the runs that have
// any spread.
#include "Elo.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace vorlen::match;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20000;
    const double unit = 800.0 / std::log(10.0);
    const double draw = 0.1;
    std::mt19937_64 random(5);
    std::printf("nElo interval coverage, %d runs a row (board pairs, a draw one game in ten)\n", runs);
    std::printf("%6s  %6s  %9s  %9s  %9s\n", "Elo", "pairs", "true nElo", "printed", "before");
    for (const int pairs : {30, 1000})
        for (const double elo : {0.0, 100.0, 200.0, 400.0}) {
            const double p = scoreOf(elo);
            const double win = p - draw / 2;
            std::discrete_distribution<int> game({1 - win - draw, draw, win}); // half-points
            // The truth: a pair's mean and spread from two independent games.
            const double gameVariance = win + draw / 4 - p * p;
            const double truth = (p - 0.5) / std::sqrt(gameVariance / 2) * unit / std::sqrt(2.0);
            int counted = 0, covered = 0, coveredBefore = 0;
            for (int run = 0; run < runs; ++run) {
                std::array<Count, 5> byPoints{};
                for (int k = 0; k < pairs; ++k)
                    ++byPoints[static_cast<std::size_t>(game(random) + game(random))];
                const EloEstimate e = estimateEloOfPairs(byPoints);
                if (std::isnan(e.nElo))
                    continue;
                ++counted;
                covered += e.nEloLow <= truth && truth <= e.nEloHigh;
                // Before: the score's Wilson bounds through nElo with the spread fixed.
                const auto [mean, variance, n] = momentsOf(byPoints, kPairScores);
                const auto [low, high] = wilsonInterval(mean, effectiveGames(byPoints, kPairScores));
                const double scale = unit / std::sqrt(2 * variance);
                coveredBefore += (low - 0.5) * scale <= truth && truth <= (high - 0.5) * scale;
            }
            std::printf("%6.0f  %6d  %9.1f  %8.1f%%  %8.1f%%\n", elo, pairs, truth, 100.0 * covered / counted,
                        100.0 * coveredBefore / counted);
        }
}
