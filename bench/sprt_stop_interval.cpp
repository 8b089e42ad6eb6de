// Whether the interval and likelihood of superiority printed after an SPRT's
// stop mean what they say: SPRT runs on board pairs (games drawn a fifth of
// the time) at a known Elo difference, each stopped where the test decides,
// then the plain 95 % interval and LOS and those that account for the stop.
// Prints, per test and truth: how often each interval covers the truth, and
// among the runs that accepted H0 how often each excludes 0 and how often
// LOS falls below 5 % (a false "weaker"); and the time an estimate takes.
// Usage: sprt_stop_interval [RUNS [TEST [TRUTH]]], TEST a part of a test's
// name, TRUTH "0" or "elo1" for one row of each test. Runs go on every core,
// each from its own seed: the same figures whatever the cores.
#include "Elo.h"
#include "ExactLlr.h"
#include "Sprt.h"
#include "SprtStopInterval.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace vorlen::match;

namespace {

struct Tally {
    int runs = 0, h0 = 0, plainCovers = 0, stopCovers = 0;
    int plainExcludes = 0, stopExcludes = 0, plainWeaker = 0, stopWeaker = 0;
    double seconds = 0;

    void add(const Tally& o)
    {
        runs += o.runs, h0 += o.h0, plainCovers += o.plainCovers, stopCovers += o.stopCovers;
        plainExcludes += o.plainExcludes, stopExcludes += o.stopExcludes, plainWeaker += o.plainWeaker;
        stopWeaker += o.stopWeaker, seconds += o.seconds;
    }
};

// One SPRT run as vorlen-match counts it with --swap: pairs until a verdict
// or the limit.
std::array<Count, 5> playTest(const SprtSettings& settings, double truth, int maxPairs, std::mt19937_64& random)
{
    const double draw = 0.2, score = scoreOf(truth);
    std::discrete_distribution<int> game({1 - score - draw / 2, draw, score - draw / 2});
    ExactLlr<5> llr(kPairScores, settings.elo0, settings.elo1, settings.normalised, 2);
    std::array<Count, 5> pairs{};
    for (int n = 0; n < maxPairs; ++n) {
        ++pairs[static_cast<std::size_t>(game(random) + game(random))];
        if (verdictOf(llr(pairs), settings) != SprtVerdict::Open)
            break;
    }
    return pairs;
}

void addRun(Tally& tally, const std::array<Count, 5>& pairs, const SprtSettings& settings, double truth, int maxPairs)
{
    const EloEstimate plain = estimateEloOfPairs(pairs);
    const auto start = std::chrono::steady_clock::now();
    const StopAwareEstimate stop = stopAwareEstimate(pairs, kPairScores, 2, {settings, maxPairs});
    tally.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double low = eloOf(stop.low), high = eloOf(stop.high);
    ++tally.runs;
    tally.plainCovers += plain.low <= truth && truth <= plain.high;
    tally.stopCovers += low <= truth && truth <= high;
    ExactLlr<5> llr(kPairScores, settings.elo0, settings.elo1, settings.normalised, 2);
    if (verdictOf(llr(pairs), settings) != SprtVerdict::H0)
        return;
    ++tally.h0;
    tally.plainExcludes += plain.low > 0 || plain.high < 0;
    tally.stopExcludes += low > 0 || high < 0;
    tally.plainWeaker += plain.los < 0.05;
    tally.stopWeaker += stop.los < 0.05;
}

double percent(int part, int whole) { return whole > 0 ? 100.0 * part / whole : NAN; }

// A row's runs on every core, run r from seed (row, r).
Tally playRow(const SprtSettings& settings, double truth, int runs, int maxPairs, std::uint64_t row)
{
    Tally total;
    std::mutex mutex;
    int next = 0;
    const auto work = [&] {
        Tally mine;
        for (;;) {
            int run;
            {
                const std::lock_guard lock(mutex);
                run = next++;
            }
            if (run >= runs)
                break;
            std::mt19937_64 random(row * 1000003ULL + static_cast<std::uint64_t>(run));
            addRun(mine, playTest(settings, truth, maxPairs, random), settings, truth, maxPairs);
        }
        const std::lock_guard lock(mutex);
        total.add(mine);
    };
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < std::max(1U, std::thread::hardware_concurrency()); ++i)
        threads.emplace_back(work);
    for (std::thread& thread : threads)
        thread.join();
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string only = argc > 2 ? argv[2] : ""; // the tests whose name holds this
    const std::string truthOnly = argc > 3 ? argv[3] : "";

    const int maxPairs = 20000;
    std::printf("SPRT on board pairs (draws 20 %%), at most %d pairs, %d runs a row; the plain and stop-aware 95 %%\n"
                "intervals' coverage; among H0 acceptances, how often each excludes 0 and how often LOS < 5 %%\n",
                maxPairs, runs);
    std::printf("%-16s %5s %5s  %7s %7s  %7s %7s  %7s %7s  %8s\n", "test", "true", "H0", "cover", "stop", "excl.0",
                "stop", "LOS<5", "stop", "cpu s/run");
    const SprtSettings tests[] = {{0, 10, 0.05, 0.05, false}, {0, 40, 0.05, 0.05, false}, {0, 10, 0.05, 0.05, true}};
    for (const SprtSettings& settings : tests) {
        char name[64];
        std::snprintf(name, sizeof name, "%selo0=%g %selo1=%g", settings.normalised ? "n" : "", settings.elo0,
                      settings.normalised ? "n" : "", settings.elo1);
        if (std::string(name).find(only) == std::string::npos)
            continue;
        for (const double truth : {0.0, settings.normalised ? 7.0 : settings.elo1}) {
            if ((truthOnly == "0" && truth != 0) || (truthOnly == "elo1" && truth == 0))
                continue;
            const std::uint64_t row = static_cast<std::uint64_t>(&settings - tests) * 2 + (truth == 0 ? 0 : 1);
            const Tally tally = playRow(settings, truth, runs, maxPairs, row);
            std::printf("%-16s %+5.0f %4.0f%%  %6.1f%% %6.1f%%  %6.1f%% %6.1f%%  %6.1f%% %6.1f%%  %8.3f\n", name, truth,
                        percent(tally.h0, tally.runs), percent(tally.plainCovers, tally.runs),
                        percent(tally.stopCovers, tally.runs), percent(tally.plainExcludes, tally.h0),
                        percent(tally.stopExcludes, tally.h0), percent(tally.plainWeaker, tally.h0),
                        percent(tally.stopWeaker, tally.h0), tally.seconds / tally.runs);
            std::fflush(stdout);
        }
    }
}
