#include "SeatPlayer.h"

#include <gtest/gtest.h>

using namespace vorlen;
using Kind = SeatPlayer::Kind;

TEST(SeatPlayers, EveryFormIsReadOnceAndReadsBackTheSame)
{
    const struct {
        std::string text;
        SeatPlayer given;
    } cases[] = {
        {"stupid", {Kind::BuiltIn, "", ""}},
        {"person", {Kind::Person, "", ""}},
        {"./run.sh", {Kind::Program, "./run.sh", ""}},
        {"./run.sh,dir=bots/mine", {Kind::Program, "./run.sh", "bots/mine"}},
        // Nothing after ",dir=" is kept: a check refuses it.
        {"./run.sh,dir=", {Kind::Program, "./run.sh", "", true}},
        {"stream:python3 main.py,dir=bots/py", {Kind::Stream, "python3 main.py", "bots/py"}},
        // A program that happens to be called so is still a program.
        {"stream:stupid", {Kind::Stream, "stupid", ""}},
        {"./stupid", {Kind::Program, "./stupid", ""}},
        // The last one counts: a command line may hold the words itself.
        {"./bot --opt a,dir=b,dir=c", {Kind::Program, "./bot --opt a,dir=b", "c"}},
        {"search:1", {Kind::Search, "", "", false, 1}},
        {"search:5", {Kind::Search, "", "", false, 5}},
        // Names of no level are kept as given, for the check to quote.
        {"search:6", {Kind::Search, "6", "", false, 0}},
        {"search:0", {Kind::Search, "0", "", false, 0}},
        {"search:", {Kind::Search, "", "", false, 0}},
        {"search:12", {Kind::Search, "12", "", false, 0}},
        {"search:3,dir=x", {Kind::Search, "3,dir=x", "", false, 0}},
        {"stream:search:3", {Kind::Stream, "search:3", ""}},
    };
    for (const auto& c : cases) {
        const SeatPlayer given = parseSeatPlayer(c.text);
        EXPECT_EQ(given, c.given) << c.text;
        EXPECT_EQ(given.text(), c.text);
        EXPECT_EQ(parseSeatPlayer(given.text()), given) << c.text;
    }
    EXPECT_FALSE(parseSeatPlayer("stupid").isProgram());
    EXPECT_FALSE(parseSeatPlayer("person").isProgram());
    EXPECT_TRUE(parseSeatPlayer("stream:./b").isProgram());
    EXPECT_FALSE(parseSeatPlayer("search:2").isProgram());
    for (const char* bad : {"search:6", "search:", "search:0", "search:3,dir=x"})
        EXPECT_EQ(searchLevelProblem(parseSeatPlayer(bad)).value_or(""),
                  "no search player '" + std::string(bad) + "': the levels are search:1 (the weakest) to search:5")
            << bad;
    for (const char* good : {"search:1", "search:5", "stupid", "./search:3"})
        EXPECT_FALSE(searchLevelProblem(parseSeatPlayer(good))) << good;
}

TEST(SeatPlayers, PlayersAreNamedByTheirProgramsFileNames)
{
    const struct {
        std::string command;
        std::string name;
    } cases[] = {
        {"stupid", "stupid"},
        {"./bots/v7 --fast", "v7"},
        {"stream:/opt/bots/v9", "v9"},
        {"\"/my bots/x y\" 3", "x y"},
        {"bot/", "bot/"},
        {"", ""},
        {"\"unclosed", "unclosed"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(playerName(c.command), c.name) << c.command;
}
