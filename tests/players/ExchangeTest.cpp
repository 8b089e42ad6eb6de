#include "CommandLine.h"
#include "Exchange.h"
#include "PlayerFactory.h"
#include "support/Boards.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace vorlen;
using vorlen::testing::boardFromRows;

namespace {

std::optional<int> parse(const std::string& text)
{
    std::istringstream in(text);
    return parseMove(in);
}

} // namespace

TEST(Exchange, InputIsOneLineOfDigitsPerRow)
{
    EXPECT_EQ(buildInput(boardFromRows({"123", "456"})), "123\n456\n");
    const std::string full = buildInput(makeField(kBoardRows, kBoardColumns, 6));
    EXPECT_EQ(full.size(), static_cast<std::size_t>(kBoardRows * (kBoardColumns + 1)));
    EXPECT_EQ(full.substr(0, 46), std::string(45, '6') + "\n");
}

TEST(Exchange, MoveIsTheLeadingInteger)
{
    EXPECT_EQ(parse("4"), 4);
    EXPECT_EQ(parse("  \n\t4 and some text"), 4);
    EXPECT_EQ(parse("4x"), 4);
    EXPECT_EQ(parse("+5\n"), 5);
    EXPECT_EQ(parse("-3"), -3);
    EXPECT_EQ(parse("9"), 9);
}

TEST(Exchange, NoMoveWithoutAFittingInteger)
{
    EXPECT_EQ(parse(""), std::nullopt);
    EXPECT_EQ(parse("   \n"), std::nullopt);
    EXPECT_EQ(parse("four"), std::nullopt);
    EXPECT_EQ(parse("x4"), std::nullopt);
    EXPECT_EQ(parse("99999999999"), std::nullopt);
    EXPECT_EQ(parse("-99999999999"), std::nullopt);
}

TEST(Exchange, AStreamAnswerIsALineOfOneIntegerAlone)
{
    const struct {
        const char* line;
        std::optional<int> move;
    } cases[] = {
        {"4", 4}, {" 4 ", 4}, {"\t-3", -3}, {"+2\t", 2}, {"9", 9},
        // Chatter, however much it looks like a move.
        {"9 nodes searched", std::nullopt}, {"4 because it is greedy", std::nullopt}, {"", std::nullopt},
        {"  ", std::nullopt}, {"x", std::nullopt}, {"4.0", std::nullopt}, {"--4", std::nullopt}, {"+", std::nullopt},
        {"4\r", std::nullopt}, {"99999999999", std::nullopt}, {"4 4", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseAnswerLine(c.line), c.move) << "'" << c.line << "'";
}

TEST(Exchange, PathsOfABotAreAnchoredForAnotherDirectory)
{
    vorlen::testing::TempDir dir;
    dir.write("my bot.py", "");
    dir.write("bot", "");
    const std::string base = dir.path().string();
    EXPECT_EQ(splitCommandLine(anchorCommandLine("python3 \"my bot.py\" --level 2 /bin/sh", base)),
              (std::vector<std::string>{"python3", base + "/my bot.py", "--level", "2", "/bin/sh"}));
    EXPECT_EQ(splitCommandLine(anchorCommandLine("./bot \"say \"\"\"hi\"\"\"\"", base)),
              (std::vector<std::string>{base + "/bot", "say \"hi\""}));
}

TEST(Exchange, ASeatAsItRanNamesItsFilesByTheirWholePathsAndReadsBackTheSame)
{
    vorlen::testing::TempDir dir;
    std::filesystem::create_directories(dir.path() / "bots" / "py");
    dir.write("bots/py/main.py", "");
    dir.write("my bot.py", "");
    const std::string base = dir.path().string();
    const struct {
        std::string given;
        std::string asRun;
    } cases[] = {
        {"python3 bots/py/main.py --level 2", "python3 " + base + "/bots/py/main.py --level 2"},
        {"stream:python3 bots/py/main.py", "stream:python3 " + base + "/bots/py/main.py"},
        {"python3 \"my bot.py\"", "python3 \"" + base + "/my bot.py\""},
        {"python3 bots/py/main.py,dir=bots", "python3 " + base + "/bots/py/main.py,dir=" + base + "/bots"},
        // What is not there, bare names and other seats stay as given.
        {"python3 gone.py", "python3 gone.py"},
        {"/usr/bin/python3 -c 1", "/usr/bin/python3 -c 1"},
        {"stupid", "stupid"},
        {"person", "person"},
        {"\"open quote", "\"open quote"},
    };
    for (const auto& c : cases) {
        const std::string ran = playerAsRun(parseSeatPlayer(c.given), base);
        EXPECT_EQ(ran, c.asRun) << c.given;
        EXPECT_EQ(parseSeatPlayer(ran).text(), ran) << c.given << ": reads back the same";
    }
}
