// Board lists: one board a line, read and checked before any match.
#include "BoardList.h"
#include "Boards.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

std::string wholeMap(char digit)
{
    std::string map;
    for (int row = 0; row < kBoardRows; ++row)
        map += std::string(kBoardColumns, digit) + "\n";
    return map;
}

} // namespace

TEST(BoardLists, LinesInOrderWithCommentsAndBlanksSkipped)
{
    std::vector<ListedBoard> boards;
    std::string error;
    ASSERT_TRUE(parseBoardList("# openings\n\nrand:3\n  seed:7:12  \r\n#map:skipped\nmap:maps/cross.txt\nrand:0\n"
                               "replay:games/g@1.json@40",
                               boards, error))
        << error;
    ASSERT_EQ(boards.size(), 5U);
    const char* labels[] = {"rand:3", "seed:7:12", "map:maps/cross.txt", "rand:0", "replay:games/g@1.json@40"};
    const int lines[] = {3, 4, 6, 7, 8};
    for (std::size_t i = 0; i < boards.size(); ++i) {
        EXPECT_EQ(boards[i].label(), labels[i]);
        EXPECT_EQ(boards[i].line, lines[i]);
    }
    EXPECT_EQ(boardOf(boards[0]), DrawnBoards().at(3));
    EXPECT_EQ(boardOf(boards[1]), seededBoard(7, 12));
    EXPECT_EQ(boards[4].position.path, "games/g@1.json") << "the last @ parts the turn off";
    EXPECT_EQ(boards[4].position.turns, 41) << "after turn 40";
}

TEST(BoardLists, ABadLineIsRefusedWithItsNumber)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"rand:1\nrand:\n", "line 2: 'rand:': rand:K needs K from 0 to 100000"},
        {"rand:-1", "line 1: 'rand:-1': rand:K needs K"},
        {"rand:100001", "line 1: 'rand:100001': rand:K needs K"},
        {"rand:1x", "line 1: 'rand:1x': rand:K needs K"},
        {"seed:1", "line 1: 'seed:1': seed:S:K needs whole numbers S and K from 0"},
        {"seed:x:2", "line 1: 'seed:x:2': seed:S:K needs"},
        {"seed:1:-2", "line 1: 'seed:1:-2': seed:S:K needs"},
        {"map:", "line 1: 'map:': a board is rand:K, seed:S:K, map:PATH or replay:FILE@K"},
        {"# a list\nreplay:game-3.json", "line 2: 'replay:game-3.json': replay:FILE@K needs a replay file and a turn"},
        {"replay:game-3.json@", "line 1: 'replay:game-3.json@': replay:FILE@K needs"},
        {"replay:game-3.json@-4", "line 1: 'replay:game-3.json@-4': replay:FILE@K needs"},
        {"replay:@4", "line 1: 'replay:@4': replay:FILE@K needs"},
        {"RAND:1", "line 1: 'RAND:1': a board is"},
        {"", "no board in the list"},
        {"# only comments\n\n", "no board in the list"},
        {std::string(200, 'x'), "line 1: '" + std::string(80, 'x') + "': a board is"},
    };
    for (const auto& c : cases) {
        std::vector<ListedBoard> boards{ListedBoard{}};
        std::string error;
        EXPECT_FALSE(parseBoardList(c.text, boards, error)) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << c.text << ": " << error;
        EXPECT_EQ(boards.size(), 1U) << "what was there stays";
    }
}

TEST(BoardLists, MapsAreReadFromTheListsFolderAndMustFillTheBoard)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("lists/maps"));
    dir.write("lists/maps/fives.txt", wholeMap('5'));
    dir.write("lists/maps/short.txt", "123\n");
    dir.write("lists/good.txt", "map:maps/fives.txt\nmap:" + dir.file("lists/maps/fives.txt") + "\nseed:1:1\n");
    std::vector<ListedBoard> boards;
    std::string error;
    ASSERT_TRUE(readBoardList(dir.file("lists/good.txt"), boards, error)) << error;
    ASSERT_EQ(boards.size(), 3U);
    EXPECT_EQ(boardOf(boards[0]), makeField(kBoardRows, kBoardColumns, 5));
    EXPECT_EQ(boardOf(boards[1]), boardOf(boards[0]));

    const struct {
        std::string list;
        std::string error;
    } bad[] = {
        {"seed:1:1\nmap:maps/short.txt\n", "line 2: map:maps/short.txt: 3 colours, not a whole board of 1845"},
        {"map:maps/none.txt\n", "line 1: map:maps/none.txt: "},
        {"map:maps\n", "line 1: map:maps: not a regular file"},
    };
    for (const auto& c : bad) {
        dir.write("lists/bad.txt", c.list);
        EXPECT_FALSE(readBoardList(dir.file("lists/bad.txt"), boards, error)) << c.list;
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << error;
    }
    EXPECT_FALSE(readBoardList(dir.file("lists/missing.txt"), boards, error));
    EXPECT_FALSE(readBoardList(dir.file("lists"), boards, error)) << "a folder is no list";
}
