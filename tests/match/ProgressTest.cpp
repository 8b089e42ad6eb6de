// What a run says as it goes: a line a match, and the score now and then.
#include "ProgressReport.h"

#include "support/Records.h"

#include <gtest/gtest.h>

using namespace vorlen::match;
using vorlen::testing::matchOf;

TEST(Progress, ALinePerMatchAndAScoreLineEveryTenMatches)
{
    using Clock = ProgressReport::Clock;
    const Clock::time_point start{};
    ProgressReport::Settings settings;
    settings.total = 40;
    settings.players = {"A", "B"};
    ProgressReport report(settings, start);
    MatchRunner::Progress now;
    now.tally = Tally("A", false);
    MatchRecord failed = matchOf(0, "A", "B", 10, 20);
    failed.seats[0].retired = "time limit";
    failed.seats[0].retiredTurn = 4;
    failed.seats[1].retired = "full board";
    now.fresh = {failed};
    now.finished = 1;
    now.tally.add(failed);
    EXPECT_EQ(report.update(now, start + std::chrono::seconds(1)), "game 0: A 10 - B 20, B wins (A: time limit at turn 4)\n");
    // Ten matches in: the score, with what is left.
    now.fresh.clear();
    for (int game = 1; game < 10; ++game) {
        now.fresh.push_back(matchOf(game, "A", "B", 30, 20));
        now.tally.add(now.fresh.back());
    }
    now.finished = 10;
    const std::string text = report.update(now, start + std::chrono::seconds(5));
    EXPECT_NE(text.find("game 9: A 30 - B 20, A wins\n"), std::string::npos) << text;
    EXPECT_NE(text.find("A vs B: wins 9, draws 0, losses 1, Elo +381.7"), std::string::npos) << text;
    EXPECT_NE(text.find("; 10 of 40 matches, 30 left, about 15 s\n"), std::string::npos) << text;
    // Nothing new, nothing said; quiet: a bare count.
    now.fresh.clear();
    EXPECT_EQ(report.update(now, start + std::chrono::seconds(6)), "");
    settings.quiet = true;
    ProgressReport quiet(settings, start);
    EXPECT_EQ(quiet.update(now, start + std::chrono::seconds(1)), "10/40 matches\n");
    settings.terminal = true;
    EXPECT_EQ(ProgressReport(settings, start).update(now, start), "\r10/40 matches\033[K");
}

TEST(Progress, ATournamentsScoreLineGivesTheStandings)
{
    using Clock = ProgressReport::Clock;
    const Clock::time_point start{};
    ProgressReport::Settings settings;
    settings.total = 36;
    settings.players = {"alpha", "beta", "gamma"};
    ProgressReport report(settings, start);
    MatchRunner::Progress now;
    now.tally = Tally("alpha", false);
    const struct {
        const char* first;
        const char* second;
        int firstScore;
    } played[] = {{"alpha", "beta", 30}, {"alpha", "beta", 30}, {"alpha", "beta", 10}, {"alpha", "gamma", 30},
                  {"alpha", "gamma", 30}, {"alpha", "gamma", 10}, {"beta", "gamma", 30}, {"beta", "gamma", 10},
                  {"gamma", "beta", 20}, {"gamma", "beta", 20}};
    for (int game = 0; game < 10; ++game) {
        now.fresh.push_back(matchOf(game, played[game].first, played[game].second, played[game].firstScore, 20));
        now.tally.add(now.fresh.back());
    }
    now.finished = 10;
    const std::string text = report.update(now, start + std::chrono::seconds(5));
    // Every player, by points, with its games and, once rated, its Elo.
    // beta and gamma each won one and drew two of their own games: equal.
    EXPECT_NE(text.find("standings: alpha 4.0/6 +0.0, beta 3.0/7 -120.4 [-405.7, +164.9], gamma 3.0/7 -120.4 [-405.7, +164.9]; "
                        "10 of 36 matches"),
              std::string::npos)
        << text;
}

