// Whether the likelihood of superiority means what it says at every sample
// size: under no difference, how often it exceeds 95 % (and falls below 5 %)
// over runs of 1 to 1,000 matches (a draw a third of the time) and of board
// pairs (drawn from two such matches). A sound likelihood does so in at
// most 5 % of runs each way.
#include "Elo.h"

#include <cstdio>
#include <cstdlib>
#include <random>

using namespace vorlen::match;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20000;
    std::mt19937_64 random(11);
    std::discrete_distribution<int> match({1.0 / 3, 1.0 / 3, 1.0 / 3}); // loss, draw, win
    std::printf("No difference, %d runs a row: how often LOS > 95 %% and < 5 %%\n", runs);
    std::printf("%8s  %12s  %12s  %12s  %12s\n", "samples", "matches >95", "matches <5", "pairs >95", "pairs <5");
    for (const int n : {1, 2, 3, 5, 10, 20, 30, 50, 100, 300, 1000}) {
        int high[2] = {0, 0}, low[2] = {0, 0};
        for (int run = 0; run < runs; ++run) {
            std::array<Count, 3> matches{};
            std::array<Count, 5> pairs{};
            for (int k = 0; k < n; ++k) {
                ++matches[static_cast<std::size_t>(match(random))];
                ++pairs[static_cast<std::size_t>(match(random) + match(random))];
            }
            const double los[2] = {estimateElo(matches[2], matches[1], matches[0]).los, estimateEloOfPairs(pairs).los};
            for (int kind = 0; kind < 2; ++kind) {
                high[kind] += los[kind] > 0.95;
                low[kind] += los[kind] < 0.05;
            }
        }
        const auto share = [&](int count) { return 100.0 * count / runs; };
        std::printf("%8d  %11.1f%%  %11.1f%%  %11.1f%%  %11.1f%%\n", n, share(high[0]), share(low[0]), share(high[1]),
                    share(low[1]));
    }
}
