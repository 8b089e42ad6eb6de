#include "MapText.h"
#include "VorlenManager.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// 1845 digits in a pattern that uses all six colours.
std::string boardDigits()
{
    std::string digits;
    for (int i = 0; i < kBoardCells; ++i)
        digits += static_cast<char>('1' + (i * 7 + i / 45) % 6);
    return digits;
}

std::string inLines(const std::string& digits, const std::string& lineEnd = "\n")
{
    std::string text;
    for (std::size_t i = 0; i < digits.size(); i += 45)
        text += digits.substr(i, 45) + lineEnd;
    return text;
}

Field readText(const std::string& text, std::string* echo = nullptr)
{
    Field field = makeField(kBoardRows, kBoardColumns);
    const std::string got = readMapText(text, field);
    if (echo)
        *echo = got;
    return field;
}

Field randomBoardAfterSeed()
{
    std::srand(1);
    Field field = makeField(kBoardRows, kBoardColumns);
    fillRandom(field, [] { return std::rand(); });
    return field;
}

} // namespace

TEST(MapText, LayoutDoesNotMatter)
{
    const std::string digits = boardDigits();
    std::string commas;
    for (const char d : digits)
        commas += std::string(1, d) + ", ";

    std::string echo;
    const Field lines = readText(inLines(digits), &echo);
    EXPECT_EQ(echo, inLines(digits));
    EXPECT_EQ(lines[0][0], digits[0] - '0');
    EXPECT_EQ(lines[40][44], digits.back() - '0');
    EXPECT_EQ(readText(digits), lines);
    EXPECT_EQ(readText(commas), lines);
    EXPECT_EQ(readText(inLines(digits, "\r\n")), lines);
}

TEST(MapText, OnlyDigitsOneToSixAreColours)
{
    const std::string digits = boardDigits();
    std::string noisy = "# map 0789 xyz\n";
    for (const char d : digits)
        noisy += std::string(1, d) + "0a9 7-8";
    EXPECT_EQ(readText(noisy), readText(digits));
}

TEST(MapText, ShortTextFillsFromTheTopLeftAndKeepsTheRest)
{
    Field field = makeField(kBoardRows, kBoardColumns, 9);
    const std::string digits = std::string(45, '3') + "12";
    EXPECT_EQ(readMapText(digits, field), std::string(45, '3') + "\n12");
    EXPECT_EQ(field[0][44], 3);
    EXPECT_EQ(field[1][0], 1);
    EXPECT_EQ(field[1][1], 2);
    EXPECT_EQ(field[1][2], 9);
    EXPECT_EQ(field[40][44], 9);
}

TEST(MapText, TextInPiecesReadsAsAWhole)
{
    const std::string text = inLines(boardDigits()) + "555";
    Field whole = makeField(kBoardRows, kBoardColumns);
    const std::string wholeEcho = readMapText(text, whole);

    Field pieces = makeField(kBoardRows, kBoardColumns);
    MapReader reader(pieces);
    for (std::size_t i = 0; i < text.size(); i += 7)
        reader.feed(std::string_view(text).substr(i, 7));
    EXPECT_TRUE(reader.full());
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(reader.echo(), wholeEcho);
}

TEST(MapFile, LoadMapDrawsAFreshBoardThenReadsTheFile)
{
    TempDir dir;
    const std::string path = dir.write("short.map", std::string(45, '3') + "\n12");
    MemoryStream out, err;
    VorlenManager manager(45, 41, 2, Trace(out.get(), err.get()));

    Field expected = randomBoardAfterSeed();
    readMapText(std::string(45, '3') + "12", expected);
    std::srand(1);
    manager.loadMap(path);
    EXPECT_EQ(manager.board(), expected);
    EXPECT_EQ(err.text(), "loading map...\n" + std::string(45, '3') + "\n12");
}

TEST(MapFile, MissingFileOrEmptyPathLeavesTheRandomBoard)
{
    MemoryStream out, err;
    VorlenManager manager(45, 41, 2, Trace(out.get(), err.get()));
    const Field expected = randomBoardAfterSeed();
    for (const std::string path : {"", "/nonexistent/board.map", "/nonexistent/\x1b[2J\n.map"}) {
        std::srand(1);
        manager.loadMap(path);
        EXPECT_EQ(manager.board(), expected);
    }
    // A path that could clear the terminal or forge a line is written out.
    EXPECT_EQ(err.text(), "cannot read the map '/nonexistent/board.map': No such file or directory; "
                          "the board stays random\n"
                          "cannot read the map '/nonexistent/\\x1b[2J\\x0a.map': No such file or directory; "
                          "the board stays random\n");

    // Each call draws the next board.
    std::srand(1);
    manager.loadMap("");
    manager.loadMap("");
    EXPECT_NE(manager.board(), expected);
}
