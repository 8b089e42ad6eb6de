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
