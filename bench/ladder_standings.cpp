// The ladder's standings at a contest's size: BOTS bots, one ready version
// each, and MATCHES matches between them as the database keeps them (the
// results of each pairing summed, boards in both seatings), each pairing's
// results drawn from the two bots' true strengths. Prints how long the
// standings take to compute and to read, and their first lines.
// Usage: ladder_standings [BOTS [MATCHES]]
#include "DatabaseLocation.h"
#include "LadderCommands.h"
#include "LadderStandings.h"
#include "LadderStore.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

using namespace vorlen::ladder;

int main(int argc, char** argv)
{
    const int bots = argc > 1 ? std::atoi(argv[1]) : 1000;
    const long long matches = argc > 2 ? std::atoll(argv[2]) : 1000000;
    char pattern[] = "/tmp/vorlen-standings-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string root = dir + "/ladder";
    runLadderCommand({"init", root}, "t");
    std::mt19937_64 random(1);
    std::normal_distribution<double> strength(0, 200);
    std::vector<double> elo;
    {
        LadderStore store(root + "/ladder.sqlite", false);
        for (int bot = 0; bot < bots; ++bot) {
            const VersionRow version = store.addVersion("bot" + std::to_string(bot), "f", "./bot", "", "t");
            store.setVersionState(version.id, "ready");
            elo.push_back(strength(random));
        }
    }
    // Pairs spread evenly over the pairings, the remainder to the first.
    const long long pairings = static_cast<long long>(bots) * (bots - 1) / 2;
    const long long pairs = matches / 2;
    const auto started = std::chrono::steady_clock::now();
    {
        const auto db = openDatabase(root + "/ladder.sqlite", false);
        db->begin();
        long long left = pairs;
        for (int a = 0; a < bots && left > 0; ++a)
            for (int b = a + 1; b < bots && left > 0; ++b) {
                const long long share = std::max(1LL, pairs / pairings) + (a == 0 && b == 1 ? pairs % pairings : 0);
                const long long n = std::min(left, share);
                left -= n;
                const double p = 1 / (1 + std::pow(10, (elo[static_cast<std::size_t>(b)] - elo[static_cast<std::size_t>(a)]) / 400));
                std::binomial_distribution<long long> won(2 * n, p);
                const long long wins = won(random);
                std::array<long long, 5> boards{};
                std::binomial_distribution<int> board(2, p);
                for (long long i = 0; i < n; ++i)
                    ++boards[static_cast<std::size_t>(2 * board(random))];
                db->execute("INSERT INTO results (first, second, wins, draws, losses, pairs0, pairs1, pairs2, pairs3, "
                            "pairs4) VALUES (?1, ?2, ?3, 0, ?4, ?5, ?6, ?7, ?8, ?9)",
                            {static_cast<std::int64_t>(a + 1), static_cast<std::int64_t>(b + 1), wins, 2 * n - wins,
                             boards[0], boards[1], boards[2], boards[3], boards[4]});
            }
        db->commit();
    }
    std::printf("%d bots, %lld matches in %lld pairings' results (made in %.1f s)\n", bots, 2 * pairs,
                std::min(pairs, pairings),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    // The runner computes them as matches land (at most a twentieth of its
    // time); a reader gets the kept copy.
    const auto timed = [&](const std::function<void()>& what) {
        const auto start = std::chrono::steady_clock::now();
        what();
        return 1000 * std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double computed = 0;
    {
        LadderStore store(root + "/ladder.sqlite", false);
        computed = timed([&] { refreshStandings(store, kStandingsTop); });
    }
    std::string text;
    double read = 1e9;
    for (int attempt = 0; attempt < 5; ++attempt)
        read = std::min(read, timed([&] { text = runLadderCommand({"--ladder", root, "standings"}, "t").out; }));
    std::printf("standings computed afresh (by the runner, as matches land): %.0f ms\n", computed);
    std::printf("standings read by 'vorlen-ladder standings': %.1f ms (the best of 5), %zu bytes\n", read, text.size());
    std::fwrite(text.data(), 1, std::min<std::size_t>(text.size(), 600), stdout);
    std::filesystem::remove_all(dir);
}
