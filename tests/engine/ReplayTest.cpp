#include "Boards.h"
#include "MapText.h"
#include "ReplayFile.h"
#include "ReplayPlayback.h"
#include "Retirement.h"
#include "VorlenLogicTeam01.h"
#include "VorlenLogicTeam02.h"
#include "support/Bots.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

struct LiveMatch {
    Replay replay;
    std::vector<Field> boards; // after each turn
};

// Plays a match as the window and the runner do, keeping every board.
LiveMatch playLive(const Field& board, IVorlenLogic& first, IVorlenLogic& second)
{
    VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
    manager.setPlayer(0, &first);
    manager.setPlayer(1, &second);
    manager.setBoard(board);
    LiveMatch live;
    live.replay.board = board;
    live.replay.players = {"first", "second"};
    const auto reasonOf = [&](int seat) {
        return retirementText(manager.retirement(seat), manager.lastResult(seat));
    };
    for (int turn = 0; !manager.gameOver() && turn < 5000; ++turn) {
        manager.makeTurn(turn);
        live.replay.turns.push_back(recordTurn(manager, reasonOf));
        live.boards.push_back(manager.board());
    }
    live.replay.finished = manager.gameOver();
    return live;
}

// Reads a replay back from its JSON and shows it at every turn: the same
// boards and scores as the live match.
void expectSameAsLive(const LiveMatch& live)
{
    Replay read;
    std::string error;
    ASSERT_TRUE(parseReplay(replayJson(live.replay), read, error)) << error;
    ASSERT_TRUE(checkReplay(read, error)) << error;
    EXPECT_EQ(replayJson(read), replayJson(live.replay));
    ReplayPlayback playback(read);
    EXPECT_EQ(playback.board(), live.replay.board);
    for (std::size_t k = 0; k < live.boards.size(); ++k) {
        playback.seek(static_cast<int>(k) + 1);
        ASSERT_EQ(playback.board(), live.boards[k]) << "after turn " << k;
        ASSERT_EQ(playback.score(), live.replay.turns[k].score) << "after turn " << k;
    }
    // Back to any turn, and forward again.
    const int middle = static_cast<int>(live.boards.size() / 2);
    playback.seek(middle);
    EXPECT_EQ(playback.board(), live.boards[static_cast<std::size_t>(middle - 1)]);
    playback.seek(0);
    EXPECT_EQ(playback.board(), live.replay.board);
    playback.seek(1'000'000);
    EXPECT_EQ(playback.position(), playback.length());
}

// A finished match of the built-in players on a seeded board, as JSON.
const std::string& shortMatchJson()
{
    static const std::string json = [] {
        VorlenLogicTeam02 first, second;
        return replayJson(playLive(seededBoard(4, 0), first, second).replay);
    }();
    return json;
}

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// A replay whose first turn's scores read `scores` ("1, 2").
std::string withFirstScores(const std::string& text, const std::string& scores)
{
    const std::size_t open = text.find("\"scores\": [") + 11;
    return text.substr(0, open) + scores + text.substr(text.find(']', open));
}

} // namespace

TEST(Boards, DrawnBoardsAreTheBoardsAFreshProcessDrawsWithRand)
{
    std::srand(1); // the state of an unseeded generator
    DrawnBoards drawn;
    for (int index = 0; index < 3; ++index) {
        Field expected = makeField(kBoardRows, kBoardColumns);
        fillRandom(expected, [] { return std::rand(); });
        ASSERT_EQ(drawn.next(), expected) << index;
    }
    EXPECT_EQ(DrawnBoards().at(2), [] {
        DrawnBoards again;
        again.next();
        again.next();
        return again.next();
    }());
    EXPECT_EQ(seededBoard(7, 3), seededBoard(7, 3));
    EXPECT_NE(seededBoard(7, 3), seededBoard(7, 4));
    EXPECT_EQ(seedLabel(7, 3), "seed:7:3");
    EXPECT_EQ(drawLabel(3), "rand:3");
}

TEST(ReplayRoundTrip, BuiltInPlayersGiveTheLiveBoardsAtEveryTurn)
{
    VorlenLogicTeam02 first, second;
    const LiveMatch live = playLive(DrawnBoards().next(), first, second);
    ASSERT_TRUE(live.replay.finished);
    ASSERT_FALSE(live.replay.turns.back().retired.empty());
    expectSameAsLive(live);
}

TEST(ReplayRoundTrip, ABotWithFailedMovesAndRetirementsGivesTheLiveBoards)
{
    TempDir dir;
    // Plays colour 1 to 6 in turn: some are illegal, and the seat is retired.
    const std::string bot = writeBot(dir, "cycle.sh",
                                     "n=$(cat count 2>/dev/null || echo 0); echo $((n + 1)) > count\n"
                                     "echo $((n % 6 + 1)) > vorla.out");
    VorlenLogicTeam01 cycling(bot, exchangeSettings(dir.path().string(), {}, Trace::silent()));
    VorlenLogicTeam02 greedy;
    const LiveMatch live = playLive(seededBoard(2, 5), cycling, greedy);
    ASSERT_TRUE(live.replay.finished);
    const auto retiredBot = std::find_if(live.replay.turns.begin(), live.replay.turns.end(),
                                         [](const ReplayTurn& t) { return !t.retired.empty(); });
    ASSERT_NE(retiredBot, live.replay.turns.end());
    EXPECT_EQ(retiredBot->retired.front().reason, "own or opponent's colour");
    EXPECT_GT(retiredBot->milliseconds, 0.0);
    // After the retirement the seat's turns carry no answer.
    EXPECT_FALSE(std::next(retiredBot, 2)->answer.has_value());
    expectSameAsLive(live);

    // An unfinished match (a window closed early) reads back as it was.
    LiveMatch partial = live;
    partial.replay.turns.resize(4);
    partial.boards.resize(4);
    partial.replay.finished = false;
    expectSameAsLive(partial);
}

TEST(ReplayReading, BadReplaysAreRefusedWithTheirProblem)
{
    const std::string good = shortMatchJson();
    Replay sample;
    std::string error;
    ASSERT_TRUE(parseReplay(good, sample, error));
    const std::string row5 = "\"" + std::string(1, static_cast<char>('0' + sample.board[4][0]));
    const auto changed = [&](auto change) {
        Replay replay = sample;
        change(replay);
        return replayJson(replay);
    };
    const struct {
        const char* name;
        std::string text;
        std::string problem; // a part of the line that says what is wrong
    } cases[] = {
        {"not JSON", "hello", "not JSON: a syntax error at line 1, column 1"},
        {"empty", "", "truncated"},
        {"truncated", good.substr(0, good.size() / 2), "truncated"},
        {"deeply nested", std::string(200'000, '[') + std::string(200'000, ']'), "not a vorlen replay"},
        {"not a replay", "{\"turns\": []}", "not a vorlen replay"},
        {"a list", "[1, 2]", "not a vorlen replay"},
        {"later version", replaced(good, "\"version\": 2", "\"version\": 3"), "version 3; this vorlen reads versions 1 to 2"},
        {"no version 0", replaced(good, "\"version\": 2", "\"version\": 0"), "version 0; this vorlen reads versions 1 to 2"},
        {"a version as text", replaced(good, "\"version\": 2", "\"version\": \"2\""), "version \"2\";"},
        {"move limits as text", replaced(good, "\"move_limits\": [", "\"move_limits\": [\"3000\", "),
         "\"move_limits\" is not a pair of times in milliseconds"},
        {"a negative move limit", replaced(good, "\"move_limits\": [", "\"move_limits\": [-1, "),
         "\"move_limits\" is not a pair"},
        {"a move limit of years", replaced(good, "\"move_limits\": [", "\"move_limits\": [99999999999, "),
         "\"move_limits\" is not a pair"},
        {"names as text", replaced(good, "\"players\": [", "\"names\": \"A B\", \"players\": ["),
         "\"names\" is not a list of two names"},
        {"one name", replaced(good, "\"players\": [", "\"names\": [\"A\"], \"players\": ["),
         "\"names\" is not a list of two names"},
        {"players as run as text", replaced(good, "\"players\": [", "\"players_as_run\": \"a b\", \"players\": ["),
         "\"players_as_run\" is not a list of two names"},
        {"a run folder that is relative", replaced(good, "\"players\": [", "\"run_folder\": \"runs\", \"players\": ["),
         "\"run_folder\" is not an absolute path"},
        {"a run folder as a number", replaced(good, "\"players\": [", "\"run_folder\": 7, \"players\": ["),
         "\"run_folder\" is not an absolute path"},
        {"seat files leaving the folder",
         replaced(good, "\"ms\": ", "\"seat_files\": {\"files\": [{\"path\": \"../x\", \"base64\": \"\"}]}, \"ms\": "),
         "turn 0: \"seat_files\" is not a seat folder's files"},
        {"seat files not in base64",
         replaced(good, "\"ms\": ", "\"seat_files\": {\"files\": [{\"path\": \"x\", \"base64\": \"**\"}]}, \"ms\": "),
         "turn 0: \"seat_files\" is not"},
        {"seat files twice by one name",
         replaced(good, "\"ms\": ", "\"seat_files\": {\"files\": [{\"path\": \"x\", \"base64\": \"\"}, "
                                     "{\"path\": \"x\", \"base64\": \"\"}]}, \"ms\": "),
         "turn 0: \"seat_files\" is not"},
        {"seat files past the cap",
         changed([](Replay& r) { r.turns[0].seatFiles = SeatFiles{{{"x", std::string(kSeatFilesBytes + 1, 'x')}}, 0}; }),
         "turn 0: \"seat_files\" is not"},
        {"a log as a number", replaced(good, "\"ms\": ", "\"log\": 5, \"ms\": "), "turn 0: \"log\" is not"},
        {"a log too long", replaced(good, "\"ms\": ", "\"log\": \"" + std::string(9000, 'x') + "\", \"ms\": "),
         "turn 0: \"log\" is not"},
        {"short row", replaced(good, row5, "\""), "row 5"},
        {"no colour", replaced(good, row5, "\"7"), "row 5, column 1"},
        {"40 rows", changed([](Replay& r) { r.board.pop_back(); }), "not 41 rows of 45 colours 1 to 6"},
        {"wrong score", changed([](Replay& r) { r.turns[3].score.first += 1; }), "turn 3: the move gives scores"},
        {"other move", changed([](Replay& r) { r.turns[4].answer = r.board[0][0]; }), "turn 4: "},
        {"seat number", replaced(good, "\"seat\": 0", "\"seat\": 2"), "turn 0: \"seat\" is 2"},
        {"answer", replaced(good, "\"answer\": " + std::to_string(*sample.turns[0].answer), "\"answer\": \"red\""),
         "turn 0: \"answer\" is \"red\""},
        {"no result", replaced(good, "\"result\": {", "\"nothing\": {"), "no \"result\""},
        {"result", replaced(good, "\"winner\": \"", "\"winner\": \"x"), "the result's winner"},
        {"too large a number", replaced(good, "\"version\": 2", "\"version\": 1e999"), "not JSON: a number too large"},
        {"score past the board", withFirstScores(good, "1099511627779, 1"), "turn 0: \"scores\" is not a pair of whole numbers from 0 to 1845"},
        {"negative score", withFirstScores(good, "-1, 1"), "turn 0: \"scores\" is not a pair"},
        {"a move of a week", replaced(good, "\"ms\": ", "\"ms\": 6048000000"), "turn 0: \"ms\" is not a time"},
        {"a forged end", changed([](Replay& r) { r.turns.back().retired.back().reason = "<b>forged</b>"; }),
         "is retired for "},
        {"a failure for the game's end", changed([](Replay& r) { r.turns.back().retired.back().reason = "time limit"; }),
         "not for the recorded reason"},
    };
    for (const auto& c : cases) {
        Replay replay;
        std::string problem;
        const bool read = parseReplay(c.text, replay, problem) && checkReplay(replay, problem);
        EXPECT_FALSE(read) << c.name;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << c.name << ": " << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << c.name;
    }
}

TEST(ReplayReading, MovesMustLeadToTheRecordedEnd)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(parseReplay(shortMatchJson(), replay, error));
    const Replay whole = replay;

    replay.turns.pop_back(); // the result still claims an end
    EXPECT_FALSE(checkReplay(replay, error));
    EXPECT_NE(error.find("not over after the last turn"), std::string::npos) << error;

    replay = whole;
    replay.turns.push_back(replay.turns.back());
    EXPECT_FALSE(checkReplay(replay, error));
    EXPECT_NE(error.find("already over"), std::string::npos) << error;

    replay = whole;
    replay.finished = false;
    EXPECT_FALSE(checkReplay(replay, error));
    EXPECT_NE(error.find("has no result"), std::string::npos) << error;

    replay = whole;
    replay.turns[1].seat = 0;
    EXPECT_FALSE(checkReplay(replay, error));
    EXPECT_NE(error.find("turn 1: seat 1 moves"), std::string::npos) << error;

    replay = whole;
    replay.turns[2].retired.push_back({0, "stall"});
    EXPECT_FALSE(checkReplay(replay, error));
    EXPECT_NE(error.find("turn 2: seat 0 is not retired"), std::string::npos) << error;
}

TEST(ReplayReading, ReasonsAreOnlyTheRefereesWordsForTheRetirement)
{
    const struct {
        RetireReason reason;
        const char* text;
        bool fits;
    } cases[] = {
        {RetireReason::FullBoard, "full board", true},
        {RetireReason::FullBoard, "stall", false},
        {RetireReason::Stall, "stall", true},
        {RetireReason::Stall, "time limit", false},
        {RetireReason::IllegalColour, "own or opponent's colour", true},
        {RetireReason::IllegalColour, "memory limit", false},
        {RetireReason::ColourOutOfRange, "colour outside 1-6", true},
        {RetireReason::ColourOutOfRange, "time limit", true},
        {RetireReason::ColourOutOfRange, "referee error", true},
        {RetireReason::ColourOutOfRange, "answered", false},
        {RetireReason::ColourOutOfRange, "none", false},
        {RetireReason::ColourOutOfRange, "full board", false},
        {RetireReason::ColourOutOfRange, "", false},
        {RetireReason::None, "none", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reasonFits(c.reason, c.text), c.fits) << reasonName(c.reason) << " / " << c.text;
}

TEST(ReplayFiles, WrittenWholeAndReadBack)
{
    TempDir dir;
    Replay replay;
    std::string error;
    ASSERT_TRUE(parseReplay(shortMatchJson(), replay, error));
    const std::string path = dir.file("match.json");
    ASSERT_TRUE(writeReplayFile(path, replay, error)) << error;
    ASSERT_TRUE(writeReplayFile(path, replay, error)) << error; // over an old one
    Replay read;
    ASSERT_TRUE(readReplayFile(path, read, error)) << error;
    EXPECT_EQ(replayJson(read), shortMatchJson());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file is left";

    EXPECT_FALSE(writeReplayFile(dir.file("no-such-dir/match.json"), replay, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_FALSE(readReplayFile(dir.path().string(), read, error));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(readReplayFile("/dev/zero", read, error));
    EXPECT_EQ(error, "not a regular file");
}

TEST(ReplayFiles, MoveLogsAreKeptAndOlderReplaysStillOpen)
{
    Replay replay;
    std::string error;
    ASSERT_TRUE(parseReplay(shortMatchJson(), replay, error));
    replay.turns[0].log = "thinking\n\x01 not UTF-8: \xff\n";
    replay.turns[3].log = moveLogKept(std::string(5000, 'a'), 5000);
    replay.moveLimitsMs = {500, 0};
    replay.names = {"mine", "B"};
    replay.playersAsRun = {"python3 /home/me/bots/flaky/main.py", ""};
    replay.runFolder = "/home/me";
    replay.turns[2].seatFiles = SeatFiles{{{"count", "2\n"}, {"state/memo", std::string("\0\xff", 2)}}, 70000};
    Replay read;
    ASSERT_TRUE(parseReplay(replayJson(replay), read, error)) << error;
    EXPECT_EQ(read.moveLimitsMs, (std::array<int, 2>{500, 0}));
    EXPECT_EQ(read.names, replay.names);
    EXPECT_EQ(seatNames(read), (std::array<std::string, 2>{"mine", "B"}));
    EXPECT_EQ(seatAsRun(read, 0), "python3 /home/me/bots/flaky/main.py");
    EXPECT_EQ(seatAsRun(read, 1), read.players[1]) << "a seat the replay says nothing of runs as named";
    EXPECT_EQ(read.runFolder, "/home/me");
    EXPECT_EQ(read.turns[2].seatFiles, replay.turns[2].seatFiles) << "any bytes, and what was cut";
    EXPECT_EQ(seatFilesBefore(read, read.turns[2].seat, 2), std::nullopt);
    EXPECT_EQ(seatFilesBefore(read, read.turns[2].seat, 3), replay.turns[2].seatFiles);
    EXPECT_EQ(seatFilesBefore(read, read.turns[2].seat, 99), replay.turns[2].seatFiles);
    EXPECT_EQ(seatFilesBefore(read, 1 - read.turns[2].seat, 99), std::nullopt);
    EXPECT_EQ(replayJson(read), replayJson(replay));
    EXPECT_EQ(read.turns[3].log, replay.turns[3].log);
    EXPECT_EQ(read.turns[0].log.substr(0, 10), "thinking\n\x01") << "a stray byte is replaced, the rest kept";
    EXPECT_TRUE(read.turns[1].log.empty());

    // A replay written before logs were kept.
    std::string older = shortMatchJson();
    older.replace(older.find("\"version\": 2"), 12, "\"version\": 1");
    const std::size_t limits = older.find(" \"move_limits\"");
    older.erase(limits, older.find("],\n", limits) + 3 - limits);
    ASSERT_TRUE(parseReplay(older, read, error)) << error;
    EXPECT_TRUE(checkReplay(read, error)) << error;
    EXPECT_EQ(read.moveLimitsMs, (std::array<int, 2>{3000, 3000})) << "played under the one rule";
}

TEST(MoveLogs, KeepTheFirstBytesAndSayWhatWasCut)
{
    const struct {
        std::string start;
        std::uint64_t written;
        std::string kept;
    } cases[] = {
        {"", 0, ""},
        {"one line\n", 9, "one line\n"},
        {std::string(kMoveLogBytes, 'x'), kMoveLogBytes, std::string(kMoveLogBytes, 'x')},
        {std::string(kMoveLogBytes, 'x'), kMoveLogBytes + 1, std::string(kMoveLogBytes, 'x') + "\n[vorlen] cut: 1 more bytes\n"},
        {std::string(kMoveLogBytes + 10, 'y'), 1'000'000,
         std::string(kMoveLogBytes, 'y') + "\n[vorlen] cut: " + std::to_string(1'000'000 - kMoveLogBytes) + " more bytes\n"},
        {std::string(kMoveLogBytes - 1, 'z') + "\n", 9000,
         std::string(kMoveLogBytes - 1, 'z') + "\n[vorlen] cut: " + std::to_string(9000 - kMoveLogBytes) + " more bytes\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(moveLogKept(c.start, c.written), c.kept) << c.written;
}

TEST(MoveTimes, MeanLargestAndNearTheLimitPerSeat)
{
    Replay replay;
    const struct {
        int seat;
        std::optional<int> answer;
        double ms;
    } turns[] = {{0, 3, 10}, {1, 2, 1}, {0, 4, 2700}, {1, std::nullopt, 5000}, {0, 5, 2000}};
    for (const auto& t : turns)
        replay.turns.push_back({t.seat, t.answer, t.ms, {}, {}, {}, {}});
    const MoveTimes first = moveTimes(replay, 0, 3000);
    EXPECT_EQ(first.moves, 3);
    EXPECT_DOUBLE_EQ(first.meanMs, 1570);
    EXPECT_DOUBLE_EQ(first.maxMs, 2700);
    EXPECT_EQ(first.nearLimit, 1);
    const MoveTimes second = moveTimes(replay, 1, 3000); // a turn with no move is no move
    EXPECT_EQ(second.moves, 1);
    EXPECT_DOUBLE_EQ(second.maxMs, 1);
    EXPECT_EQ(moveTimes(Replay{}, 0, 3000).moves, 0);
}
