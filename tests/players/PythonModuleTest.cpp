// import vorlen agrees with the referee: the same legal colours, the same
// scores after every move, the built-in player's choice, and bad boards
// refused with what is wrong.
#include "BoardText.h"
#include "Boards.h"
#include "Rules.h"
#include "VorlenLogicSearch.h"
#include "VorlenLogicTeam02.h"
#include "VorlenManager.h"
#include "support/Fakes.h"
#include "support/MatchTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// Replays each match of the file in Python and prints, for every turn, what
// the module says of the position before the move and after it.
const char* kReplayScript = R"(
import sys
import vorlen

blocks = open(sys.argv[1]).read().split("\n\n")
for block in blocks:
    if not block.strip():
        continue
    lines = block.split("\n")
    moves = [int(m) for m in lines[0].split()]
    board = vorlen.Board("\n".join(lines[1:42]) + "\n")
    assert str(board) == "\n".join(lines[1:42]) + "\n"
    seat = 0
    for index, move in enumerate(moves):
        line = f"legal {board.legal()} greedy {vorlen.greedy(board)} search {vorlen.search(board, index % 5 + 1)} move {move}"
        board = board.play(move)
        mover, opponent = board.scores()
        first, second = (mover, opponent) if seat == 0 else (opponent, mover)
        print(line, f"scores {first} {second} corner {board.colour(0, 0)} {board.colour(40, 44)}")
        board = board.flipped()
        seat = 1 - seat
    print("end")

good = "\n".join("1" * 44 + "2" for _ in range(41)) + "\n"
for bad in ["", good[:-47], good + "1" * 45 + "\n", good.replace("1", "7", 1), good.replace("1", "0", 1),
            good.replace("1" * 44 + "2\n", "1" * 44 + "\n", 1), good.replace("\n", "\r\n")]:
    try:
        vorlen.Board(bad)
        print("accepted")
    except ValueError as e:
        print("refused:", e)
try:
    vorlen.Board(good).play(1)
except ValueError as e:
    print("illegal:", e)
try:
    vorlen.Board(good).colour(41, 0)
except IndexError as e:
    print("outside:", e)
for level in [0, 6, -1]:
    try:
        vorlen.search(vorlen.Board(good), level)
    except ValueError as e:
        print("level:", e)
move, lead, decided = vorlen.evaluate(vorlen.Board(good).play(3), 5)
print("evaluate:", move, lead, decided)
)";

std::string listed(const std::vector<int>& colours)
{
    std::string text = "[";
    for (const int colour : colours)
        text += (text.size() > 1 ? ", " : "") + std::to_string(colour);
    return text + "]";
}

// A player that plays a random legal colour, and notes for every move what
// the referee's rules and its built-in player say of the position.
class RandomLegalPlayer : public IVorlenLogic {
public:
    RandomLegalPlayer(std::mt19937& source, std::vector<int>& played, std::vector<std::string>& noted)
        : random(source), moves(played), notes(noted)
    {
    }

    int makeMove(const Field& board) override
    {
        const std::vector<int> legal = legalColours(board);
        const int move = legal[std::uniform_int_distribution<std::size_t>(0, legal.size() - 1)(random)];
        moves.push_back(move);
        const int level = static_cast<int>(moves.size() - 1) % kSearchSeatLevels + 1;
        notes.push_back("legal " + listed(legal) + " greedy " + std::to_string(greedy.makeMove(board)) + " search "
                        + std::to_string(VorlenLogicSearch(level).makeMove(board)) + " move " + std::to_string(move));
        return move;
    }

private:
    std::mt19937& random;
    std::vector<int>& moves;
    std::vector<std::string>& notes;
    VorlenLogicTeam02 greedy;
};

} // namespace

TEST(PythonModule, AgreesWithTheRefereeMoveByMoveAndRefusesBadBoards)
{
    TempDir dir;
    std::string matches;
    std::string expected;
    std::mt19937 random(5);
    for (int game = 0; game < 12; ++game) {
        std::vector<int> moves;
        std::vector<std::string> notes;
        RandomLegalPlayer first(random, moves, notes);
        RandomLegalPlayer second(random, moves, notes);
        VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
        manager.setPlayer(0, &first);
        manager.setPlayer(1, &second);
        Field board = seededBoard(static_cast<std::uint64_t>(game), game);
        // Some boards with both homes of one colour, and one region at once.
        if (game % 4 == 3)
            board.back().back() = board.front().front();
        manager.setBoard(board);
        for (int turn = 0; turn < 400 && !manager.gameOver(); ++turn) {
            const std::size_t before = notes.size();
            manager.makeTurn(turn);
            ASSERT_EQ(notes.size(), before + 1) << "every turn is a legal move";
            const Field& now = manager.board();
            notes.back() += " scores " + std::to_string(manager.score().first) + " "
                            + std::to_string(manager.score().second) + " corner "
                            + std::to_string(turn % 2 == 0 ? now.front().front() : now.back().back()) + " "
                            + std::to_string(turn % 2 == 0 ? now.back().back() : now.front().front());
            expected += notes.back() + "\n";
        }
        expected += "end\n";
        std::string line;
        for (const int move : moves)
            line += std::to_string(move) + " ";
        matches += line + "\n" + buildInput(board) + "\n";
    }
    const std::string file = dir.write("matches.txt", matches);
    const std::string script = dir.write("replay.py", kReplayScript);
    const ToolRun run = finish(popen(("PYTHONPATH=" VORLEN_PYTHON_MODULE_DIR " " VORLEN_PYTHON " " + script + " " + file
                                      + " 2>&1")
                                         .c_str(),
                                     "r"));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::size_t refusals = run.out.find("refused");
    ASSERT_NE(refusals, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(0, refusals), expected);
    EXPECT_EQ(run.out.substr(refusals),
              "refused: not a board: line 1: 0 characters, not 45 digits\n"
              "refused: not a board: 40 lines, not 41\n"
              "refused: not a board: more than 41 lines\n"
              "refused: not a board: line 1: column 1 is not a colour from 1 to 6\n"
              "refused: not a board: line 1: column 1 is not a colour from 1 to 6\n"
              "refused: not a board: line 1: 44 characters, not 45 digits\n"
              "refused: not a board: line 1: 46 characters, not 45 digits\n"
              "illegal: colour 1 is not legal here: the mover's own and its opponent's colours are not, nor anything "
              "outside 1 to 6\n"
              "outside: no cell (41, 0) on a 41 x 45 board\n"
              "level: no search level 0: the levels are 1 (the weakest) to 5\n"
              "level: no search level 6: the levels are 1 (the weakest) to 5\n"
              "level: no search level -1: the levels are 1 (the weakest) to 5\n"
              // The mover holds all but the last column: won, by 1804 - 41.
              "evaluate: 1 1763.0 1\n");
}

namespace {

// Random calls of every function and method with random arguments, boards
// never built among them: each ends in a value or a Python exception of the
// kinds the module raises, never in a crash. Seeded: the same calls each run.
const char* kRandomCallsScript = R"(
import random
import vorlen

random.seed(11)
good = vorlen.Board("\n".join("1" * 44 + "2" for _ in range(41)) + "\n")
class Sub(vorlen.Board):
    def __init__(self):
        pass  # never builds the board
def unbuilt_boards():
    boards = [vorlen.Board.__new__(vorlen.Board)]
    try:
        boards.append(Sub())
    except TypeError:
        pass
    return boards
unbuilt = unbuilt_boards()
values = [None, 0, -1, 1, 6, 7, 2**31, -2**63, 2**64, 1.5, float("nan"), "", "x" * 100000, str(good), b"1",
          [], {}, object(), good, good.flipped()] + unbuilt
calls = [
    lambda a, b: vorlen.Board(a),
    lambda a, b: vorlen.greedy(a),
    lambda a, b: vorlen.search(a, b),
    lambda a, b: vorlen.evaluate(a, b),
    lambda a, b: vorlen.Board.legal(a),
    lambda a, b: vorlen.Board.play(a, b),
    lambda a, b: vorlen.Board.scores(a),
    lambda a, b: vorlen.Board.flipped(a),
    lambda a, b: vorlen.Board.colour(a, b, b),
    lambda a, b: str(a) if isinstance(a, vorlen.Board) else vorlen.Board.__str__(a),
    lambda a, b: repr(a) if isinstance(a, vorlen.Board) else vorlen.Board.__repr__(a),
    lambda a, b: a == b,
    lambda a, b: hash(a) if isinstance(a, vorlen.Board) else vorlen.Board.__hash__(a),
    lambda a, b: vorlen.Board.__init__(a, b),
]
outcomes = {}
for _ in range(20000):
    call = random.choice(calls)
    try:
        call(random.choice(values), random.choice(values))
        outcome = "value"
    except (TypeError, ValueError, IndexError, OverflowError) as error:
        outcome = type(error).__name__
    outcomes[outcome] = outcomes.get(outcome, 0) + 1
# Never built (the calls above may have built those): refused every time,
# in the module's own words.
for board in unbuilt_boards():
    for call in [board.legal, board.scores, board.flipped, lambda: board.play(3), lambda: vorlen.greedy(board)]:
        try:
            call()
            print("read a board never built")
        except TypeError as error:
            assert "never built" in str(error), error
print("calls", sum(outcomes.values()), "kinds", sorted(outcomes))
)";

} // namespace

TEST(PythonModule, RandomCallsEndInAValueOrAnExceptionNeverACrash)
{
    TempDir dir;
    const std::string script = dir.write("calls.py", kRandomCallsScript);
    const ToolRun run = finish(
        popen(("PYTHONPATH=" VORLEN_PYTHON_MODULE_DIR " " VORLEN_PYTHON " " + script + " 2>&1").c_str(), "r"));
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, "calls 20000 kinds ['IndexError', 'TypeError', 'ValueError', 'value']\n");
}
