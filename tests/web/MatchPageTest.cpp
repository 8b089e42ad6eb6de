// A match's web page carries what the referee computed: read back the way
// the page's script reads it, it gives the referee's board after every turn.
#include "Assessment.h"
#include "Boards.h"
#include "MatchEvaluation.h"
#include "MatchPage.h"
#include "ReplayPlayback.h"
#include "Retirement.h"
#include "VorlenLogicSearch.h"
#include "VorlenLogicTeam02.h"
#include "support/Fakes.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using namespace vorlen;

namespace {

// A match of the built-in players, or of `first` against the built-in player.
Replay playedMatch(const Field& board, IVorlenLogic* first = nullptr)
{
    VorlenLogicTeam02 greedy[2];
    VorlenManager manager(kBoardColumns, kBoardRows, 2, Trace::silent());
    manager.setPlayer(0, first ? first : &greedy[0]);
    manager.setPlayer(1, &greedy[1]);
    Replay replay;
    replay.board = board;
    replay.players = {"first <b>", "second"};
    manager.setBoard(board);
    for (int turn = 0; !manager.gameOver(); ++turn) {
        manager.makeTurn(turn);
        replay.turns.push_back(recordTurn(manager, [&](int seat) {
            return retirementText(manager.retirement(seat), manager.lastResult(seat));
        }));
        replay.turns.back().log = "turn " + std::to_string(turn) + " </script><script>alert(1)</script>";
    }
    replay.finished = true;
    return replay;
}

// The page's data, as its script finds it.
nlohmann::json pageData(const std::string& html)
{
    const std::string open = "<script id=\"match-data\" type=\"application/json\">";
    const std::size_t from = html.find(open) + open.size();
    return nlohmann::json::parse(html.substr(from, html.find("</script>", from) - from));
}

// A cell's colour after `turns` turns, read as the page's script reads it.
int drawnColour(const nlohmann::json& data, int turns, int cell)
{
    const auto& boards = data["boards"];
    if (boards.contains(std::to_string(turns)))
        return boards[std::to_string(turns)].get<std::string>()[static_cast<std::size_t>(cell)] - '0';
    const int joined = data["joined"][static_cast<std::size_t>(cell)];
    if (joined >= 0 && joined <= turns) {
        const int seat = data["owner"].get<std::string>()[static_cast<std::size_t>(cell)] - '0';
        return data["homes"][static_cast<std::size_t>(turns)][static_cast<std::size_t>(seat)];
    }
    return data["board"].get<std::string>()[static_cast<std::size_t>(cell)] - '0';
}

} // namespace

TEST(MatchPages, ReadAsThePageReadsThemTheyGiveTheRefereesBoardAfterEveryTurn)
{
    // Homes of one colour, and a seat that stalls out, as well as ordinary boards.
    Field sameHomes = seededBoard(5, 1);
    sameHomes.back().back() = sameHomes.front().front();
    vorlen::testing::ScriptedPlayer stuck({}, 0); // an illegal answer every turn
    const struct {
        const char* name;
        Replay replay;
    } cases[] = {
        {"seeded", playedMatch(seededBoard(3, 0))},
        {"another", playedMatch(seededBoard(3, 7))},
        {"homes of one colour", playedMatch(sameHomes)},
        {"a seat out", playedMatch(seededBoard(2, 2), &stuck)},
    };
    for (const auto& c : cases) {
        std::string html;
        std::string problem;
        ASSERT_TRUE(matchPageHtml(c.replay, {"game 1", "index.html", classicPalette(), {}, {}, {}}, html, problem))
            << problem;
        const nlohmann::json data = pageData(html);
        ASSERT_EQ(data["turns"].size(), c.replay.turns.size()) << c.name;
        ReplayPlayback playback(c.replay);
        for (int turns = 0; turns <= playback.length(); ++turns) {
            playback.seek(turns);
            int wrong = 0;
            for (int cell = 0; cell < kBoardCells; ++cell)
                wrong += drawnColour(data, turns, cell)
                         != playback.board()[static_cast<std::size_t>(cell / kBoardColumns)]
                                            [static_cast<std::size_t>(cell % kBoardColumns)];
            ASSERT_EQ(wrong, 0) << c.name << ", after " << turns << " turns";
        }
        // Logs and names cannot end the data's script early or add markup.
        EXPECT_EQ(html.find("</script><script>alert"), std::string::npos) << c.name;
        EXPECT_EQ(data["turns"][0]["log"], c.replay.turns[0].log) << c.name;
        EXPECT_EQ(data["players"][0], "first <b>");
        // Named as the window names them; the command line stays for the hover.
        EXPECT_EQ(data["names"][0], "first");
        EXPECT_EQ(data["colours"][4], "#00007f");
    }
}

TEST(MatchPages, AReplayTheRefereeDoesNotComeToGetsNoPage)
{
    Replay replay = playedMatch(seededBoard(3, 0));
    replay.turns[4].score.first += 1;
    std::string html;
    std::string problem;
    EXPECT_FALSE(matchPageHtml(replay, {}, html, problem));
    EXPECT_NE(problem.find("turn 4"), std::string::npos) << problem;
    EXPECT_EQ(pageNameFor("game-3-A-B.json"), "game-3-A-B.html");
    EXPECT_EQ(pageNameFor("match"), "match.html");
}

TEST(MatchPages, CarryWhatTheChosenSearchLevelsMakeOfEveryPosition)
{
    const Replay replay = playedMatch(seededBoard(3, 0));
    MatchPageSettings settings;
    settings.evaluationLevels = {1, 4};
    std::string html;
    std::string problem;
    ASSERT_TRUE(matchPageHtml(replay, settings, html, problem)) << problem;
    const nlohmann::json data = pageData(html);
    EXPECT_EQ(data["evaluation"]["levels"].size(), 2U);
    EXPECT_EQ(data["evaluation"]["source"], "");
    EXPECT_EQ(data["evaluation"]["offered"], nlohmann::json::array({1, 4}));
    ReplayPlayback playback(replay);
    for (const int level : settings.evaluationLevels) {
        const nlohmann::json& positions = data["evaluation"]["levels"][std::to_string(level)];
        ASSERT_EQ(positions.size(), replay.turns.size() + 1) << "the start and after every turn";
        for (int turns = 0; turns <= playback.length(); turns += 7) {
            playback.seek(turns);
            const Assessment seen = assess(BitBoard(playback.board()), turns % 2, level);
            const nlohmann::json& shown = positions[static_cast<std::size_t>(turns)];
            ASSERT_EQ(shown[0], turns % 2);
            ASSERT_EQ(shown[1], seen.colour) << "level " << level << " after " << turns;
            ASSERT_NEAR(shown[2].get<double>(), seen.lead, 0.051);
            ASSERT_EQ(shown[3], seen.decided);
            ASSERT_NEAR(shown[4].get<double>(), firstSeatShare(seen, turns % 2), 0.0005) << "the bar's split";
            ASSERT_EQ(shown[5], assessmentText(seen)) << "the words the window shows";
        }
    }
    // The moves a search player made are the ones its evaluation names.
    VorlenLogicSearch searcher(2);
    const Replay searched = playedMatch(seededBoard(3, 1), &searcher);
    const nlohmann::json level2 = nlohmann::json::parse(matchEvaluationJson(searched, 2));
    for (std::size_t turn = 0; turn < searched.turns.size(); turn += 2) {
        if (searched.turns[turn].answer) {
            ASSERT_EQ(level2[turn][1], *searched.turns[turn].answer) << "turn " << turn;
        }
    }
    // None asked: none carried, and no source for the page to ask.
    ASSERT_TRUE(matchPageHtml(replay, {}, html, problem));
    EXPECT_TRUE(pageData(html)["evaluation"]["levels"].empty());
    EXPECT_TRUE(pageData(html)["evaluation"]["offered"].empty());
    // A site to ask: every level offered, none carried.
    MatchPageSettings asking;
    asking.evaluationSource = "/matches/7/evaluation/";
    ASSERT_TRUE(matchPageHtml(replay, asking, html, problem));
    EXPECT_EQ(pageData(html)["evaluation"]["offered"], nlohmann::json::array({1, 2, 3, 4, 5}));
    // A replay that does not play through has none.
    Replay broken = replay;
    broken.turns[4].answer = 9;
    EXPECT_EQ(matchEvaluationJson(broken, 1), "");
}
