#include "PlayerFactory.h"
#include "StartupOptions.h"

#include <gtest/gtest.h>

using Actions = std::vector<StartupAction>;
using Type = StartupAction::Type;

namespace {

Actions scan(const QStringList& arguments)
{
    return scanStartupOptions(QStringList{"./vorlen"} + arguments);
}

StartupAction external(int seat, const std::string& program)
{
    return {Type::SetPlayer, seat, vorlen::kExternalPlayer, program};
}

StartupAction builtIn(int seat) { return {Type::SetPlayer, seat, vorlen::kBuiltInPlayer, {}}; }

StartupAction map(const std::string& path) { return {Type::LoadMap, 0, 0, path}; }

} // namespace

TEST(StartupOptions, PlayersAndMapsInOrder)
{
    EXPECT_EQ(scan({}), Actions{});
    EXPECT_EQ(scan({"--first", "./bot a", "--second", "stupid", "--map", "m.txt"}),
              (Actions{external(0, "./bot a"), builtIn(1), map("m.txt")}));
    EXPECT_EQ(scan({"--map", "a", "--map", "b"}), (Actions{map("a"), map("b")}));
    EXPECT_EQ(scan({"--first", "./p", "--first", "stupid"}), (Actions{external(0, "./p"), builtIn(0)}));
}

TEST(StartupOptions, HumanKeepsTheSeatsPlayer)
{
    EXPECT_EQ(scan({"--first", "human"}), Actions{});
    EXPECT_EQ(scan({"--first", "./p", "--first", "human"}), Actions{external(0, "./p")});
}

TEST(StartupOptions, ValuesAreNeverOptions)
{
    EXPECT_EQ(scan({"--first", "--second", "stupid"}), Actions{external(0, "--second")});
    EXPECT_EQ(scan({"--first", ""}), Actions{external(0, "")});
    EXPECT_EQ(scan({"--map", "--first", "stupid"}), Actions{map("--first")});
}

TEST(StartupOptions, ATrailingOptionWithoutItsValueIsRefused)
{
    const Actions trailing = scan({"--second", "stupid", "--map"});
    ASSERT_EQ(trailing.size(), 2U);
    EXPECT_EQ(trailing[0], builtIn(1));
    EXPECT_EQ(startupProblem(trailing), "--map needs a value (see vorlen --help)");
    EXPECT_EQ(startupProblem(scan({"--first"})), "--first needs a value (see vorlen --help)");
    EXPECT_EQ(startupProblem(scan({"--chart"})), "") << "a flag needs none";
}

TEST(StartupOptions, OnlyExactSpellingsCount)
{
    // Mistyped long options are kept to be said; other words pass.
    const auto unknown = [](const std::string& option) { return StartupAction{Type::Unknown, 0, 0, option}; };
    EXPECT_EQ(scan({"--First", "./p", "--map=m.txt", "-first", "x", "first", "stupid", "--frist"}),
              (Actions{unknown("--First"), unknown("--map=m.txt"), unknown("--frist")}));
    EXPECT_EQ(scan({"-platform", "offscreen"}), Actions{});
    EXPECT_EQ(scan({"--first", "Stupid"}), Actions{external(0, "Stupid")});
    // The program path is examined like every other argument.
    EXPECT_EQ(scanStartupOptions({"--map", "m.txt"}), Actions{map("m.txt")});
}

TEST(StartupOptions, ValuesKeepTheLocaleEncoding)
{
    // Qt's local encoding here is UTF-8: the bytes the file system holds.
    EXPECT_EQ(scan({"--first", QString::fromUtf8("./b\xc3\xa9"), "--map",
                    QString::fromUtf8("k\xc3\xa4rte.map")}),
              (Actions{external(0, "./b\xc3\xa9"), map("k\xc3\xa4rte.map")}));
    EXPECT_EQ(scan({"--second", QString::fromUtf8("\xd0\xb1\xd0\xbe\xd1\x82 \xc3\xb8")}),
              Actions{external(1, "\xd0\xb1\xd0\xbe\xd1\x82 \xc3\xb8")});
}

TEST(StartupOptions, SandboxIsAFlagButNeverAValue)
{
    EXPECT_EQ(scan({"--sandbox", "--first", "--sandbox"}),
              (Actions{{StartupAction::Type::Sandbox, 0, 0, {}}, external(0, "--sandbox")}));
}

TEST(StartupOptions, FlagsAreFlagsAndNumbersAreChecked)
{
    for (const auto& [option, type] : {std::pair{"--chart", Type::Chart}, {"--help", Type::Help}, {"--version", Type::Version}}) {
        EXPECT_EQ(scan({option}), (Actions{{type, 0, 0, {}}})) << option;
        EXPECT_EQ(scan({"--second", option}), Actions{external(1, option)}) << option;
    }
    EXPECT_EQ(scan({"--seed", "--game", "--game", "4"}),
              (Actions{{Type::Seed, 0, 0, "--game"}, {Type::Game, 0, 0, "4"}}));
    const struct {
        QStringList arguments;
        std::string problem;
    } cases[] = {
        {{"--seed", "7", "--game", "100000000"}, ""},
        {{"--seed", "18446744073709551615"}, ""},
        {{"--seed", "18446744073709551616"}, "--seed needs a whole number from 0, not '18446744073709551616'"},
        {{"--seed", " 7"}, "--seed needs a whole number from 0, not ' 7'"},
        {{"--game", "100000001"}, "--game needs a whole number from 0 to 100000000, not '100000001'"},
        {{"--game", "100000"}, ""},
        {{"--game", "100001"}, "--game without --seed needs a whole number from 0 to 100000 (every board before it is "
                               "drawn in turn), not '100001'"},
        {{"--game", "3x"}, "--game needs a whole number from 0 to 100000000, not '3x'"},
        {{"--game", ""}, "--game needs a whole number from 0 to 100000000, not ''"},
        {{"--palette", "colorblind"}, ""},
        {{"--palette", "Colorblind"}, "--palette needs one of classic, colorblind, not 'Colorblind'"},
        {{"--move-time", "1"}, ""},
        {{"--move-time", "3600000"}, ""},
        {{"--move-time", "0"}, "--move-time needs a whole number of milliseconds from 1 to 3600000, not '0'"},
        {{"--move-time", "3600001"}, "--move-time needs a whole number of milliseconds from 1 to 3600000, not '3600001'"},
        {{"--move-time", "2s"}, "--move-time needs a whole number of milliseconds from 1 to 3600000, not '2s'"},
        {{"--move-time", "500", "--no-time-limit"}, "--move-time and --no-time-limit cannot be used together"},
        {{"--no-time-limit"}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(startupProblem(scan(c.arguments)), c.problem) << c.arguments.join(' ').toStdString();
    // A program's time for a move.
    EXPECT_EQ(chosenMoveTime(scan({})), vorlen::kMoveTimeLimit);
    EXPECT_EQ(chosenMoveTime(scan({"--move-time", "500"})), std::chrono::milliseconds(500));
    EXPECT_EQ(chosenMoveTime(scan({"--move-time", "500", "--move-time", "700"})), std::chrono::milliseconds(700));
    EXPECT_EQ(chosenMoveTime(scan({"--no-time-limit"})), vorlen::kNoTimeLimit);
}
