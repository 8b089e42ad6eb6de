// How far the Elo printed after an SPRT's stop is from the truth, plainly
// and bias-adjusted: SPRT runs on board pairs drawn at a known Elo
// difference, each stopped where the test decides, as vorlen-match counts
// them. Prints, for each true difference, the mean plain and adjusted
// estimate over all runs and over those that accepted H1.
#include "Elo.h"
#include "SprtRun.h"
#include "SprtStopBias.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace vorlen::match;

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const SprtSettings settings{0, 20, 0.05, 0.05};
    const int maxPairs = 5000;
    std::mt19937_64 random(7);
    std::printf("SPRT elo0=0 elo1=20, at most %d board pairs, %d runs a row\n", maxPairs, runs);
    std::printf("%8s  %10s  %10s  %6s  %13s  %13s\n", "true", "plain", "adjusted", "H1", "plain if H1", "adjusted if H1");
    for (const double truth : {0.0, 10.0, 20.0, 30.0}) {
        // Two games a pair, each won with the expected score of the truth.
        const double p = scoreOf(truth);
        std::discrete_distribution<int> pair({(1 - p) * (1 - p), 0, 2 * p * (1 - p), 0, p * p});
        double plain = 0, adjusted = 0, plainH1 = 0, adjustedH1 = 0;
        int accepted = 0, counted = 0;
        for (int run = 0; run < runs; ++run) {
            SprtRun test(settings, "A", true);
            for (int board = 0; board < maxPairs && !test.decided(); ++board) {
                const int points = pair(random); // A's half-points over the pair
                MatchRecord first, second;
                first.game = 2 * board;
                second.game = 2 * board + 1;
                for (MatchRecord* r : {&first, &second}) {
                    r->seats[0].player = r == &first ? "A" : "B";
                    r->seats[1].player = r == &first ? "B" : "A";
                }
                // A wins the first match for points >= 2 (a pair of 1 or 2),
                // the second for points == 4.
                const bool winsFirst = points >= 2;
                const bool winsSecond = points == 4;
                first.seats[0].score = winsFirst ? 2 : 1;
                first.seats[1].score = winsFirst ? 1 : 2;
                second.seats[0].score = winsSecond ? 1 : 2;
                second.seats[1].score = winsSecond ? 2 : 1;
                test.add(first);
                test.add(second);
            }
            const ScoreMoments m = momentsOf(test.pentanomial(), kPairScores);
            if (!(m.mean > 0 && m.mean < 1))
                continue;
            const double fixedScore = test.decided()
                                          ? biasAdjustedScore({m.mean, m.variance, static_cast<int>(m.samples), maxPairs, 2}, settings)
                                          : m.mean;
            const double e = eloOf(m.mean);
            const double f = eloOf(fixedScore);
            plain += e;
            adjusted += f;
            ++counted;
            if (test.verdict() == SprtVerdict::H1) {
                plainH1 += e;
                adjustedH1 += f;
                ++accepted;
            }
        }
        std::printf("%+8.1f  %+10.1f  %+10.1f  %5.1f%%  %+13.1f  %+13.1f\n", truth, plain / counted, adjusted / counted,
                    100.0 * accepted / counted, accepted ? plainH1 / accepted : NAN,
                    accepted ? adjustedH1 / accepted : NAN);
    }
}
