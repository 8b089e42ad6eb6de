// The evaluation beside the board: what a search player makes of the
// position on show, searched away from the window's thread.
#include "Assessment.h"
#include "BitBoard.h"
#include "EvaluationPanel.h"
#include "StartupOptions.h"
#include "main_window.h"
#include "support/Window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

using namespace vorlen;
using namespace vorlen::testing;

namespace {

// The words the panel should show for the window's board with `seat` to move.
QString expectedWords(const main_window& window, const std::string& mover, int seat, int level)
{
    const Assessment seen = assess(BitBoard(window.match().board()), seat, level);
    return QString::fromStdString(mover + " to move: " + assessmentText(seen));
}

// Whether the panel comes to show `words` (its search runs on its own thread).
bool comesToShow(const EvaluationPanel& panel, const QString& words)
{
    for (int waited = 0; waited < 20000 && panel.verdict() != words; waited += 5)
        QTest::qWait(5);
    return panel.verdict() == words;
}

} // namespace

TEST(Evaluation, ShowsTheChosenLevelsMoveForThePositionOnShowAndFollowsIt)
{
    std::srand(1);
    main_window window(QStringList{"vorlen", "--evaluation", "--seed", "4", "--first", "search:3"}, nullptr);
    window.show();
    EvaluationPanel& panel = *window.evaluation();
    ASSERT_TRUE(panel.isVisible()) << "--evaluation shows it from the start";
    // Before any turn: the first seat to move; the search player's own choice.
    EXPECT_TRUE(comesToShow(panel, expectedWords(window, "search:3", 0, 3))) << panel.verdict().toStdString();
    const Assessment opening = assess(BitBoard(window.match().board()), 0, 3);
    playTurn(window);
    EXPECT_EQ(window.replay().turns.at(0).answer, opening.colour) << "the panel's move is the one search:3 plays";

    EXPECT_TRUE(comesToShow(panel, expectedWords(window, "stupid", 1, 3))) << panel.verdict().toStdString();
    // Another level: searched afresh.
    panel.setLevel(5);
    EXPECT_TRUE(comesToShow(panel, expectedWords(window, "stupid", 1, 5))) << panel.verdict().toStdString();
    // The bar leans to whoever stands better.
    const Assessment second = assess(BitBoard(window.match().board()), 1, 5);
    EXPECT_EQ(panel.firstSeatShare() < 0.5, second.lead > 0 || second.decided > 0) << panel.firstSeatShare();
}

TEST(Evaluation, OnlyTheNewestPositionIsShownAndAClosingWindowDoesNotWait)
{
    std::srand(1);
    auto window = std::make_unique<main_window>(QStringList{"vorlen", "--evaluation", "--seed", "9"}, nullptr);
    window->show();
    EvaluationPanel& panel = *window->evaluation();
    panel.setLevel(5);
    // Turns faster than the searches: each asks anew; the words end on the last.
    for (int turn = 0; turn < 12; ++turn)
        playTurn(*window);
    const QString last = expectedWords(*window, "stupid", 0, 5);
    ASSERT_TRUE(comesToShow(panel, last)) << panel.verdict().toStdString();
    QTest::qWait(300); // a stale search would land after
    EXPECT_EQ(panel.verdict(), last);
    // A window closed mid-search goes at once, its search with it.
    playTurn(*window);
    window.reset();
}

TEST(Evaluation, IsAViewOptionAndStaysHiddenUnlessAsked)
{
    const auto actions = scanStartupOptions({"vorlen", "--evaluation"});
    ASSERT_EQ(actions.size(), 1U);
    EXPECT_EQ(actions[0].type, StartupAction::Type::Evaluation);
    std::srand(1);
    main_window plain(QStringList{"vorlen"}, nullptr);
    plain.show();
    EXPECT_FALSE(plain.evaluation()->isVisible());
    playTurn(plain);
    EXPECT_EQ(plain.evaluation()->verdict(), "nothing on show") << "hidden, it searches nothing";
}

TEST(SearchSeats, ALevelThatIsNoneIsSaidBeforeTheMatchAndALevelPlaysItsMoves)
{
    std::srand(1);
    main_window wrong(QStringList{"vorlen", "--first", "search:9"}, nullptr);
    ASSERT_EQ(wrong.startProblems().size(), 1U);
    EXPECT_EQ(wrong.startProblems()[0].rfind("--first: no search player 'search:9': the levels are search:1", 0), 0U)
        << wrong.startProblems()[0];
    std::srand(1);
    main_window right(QStringList{"vorlen", "--seed", "6", "--second", "search:4"}, nullptr);
    EXPECT_TRUE(right.startProblems().empty());
    playTurn(right);
    const Assessment second = assess(BitBoard(right.match().board()), 1, 4);
    playTurn(right);
    EXPECT_EQ(right.replay().players[1], "search:4");
    EXPECT_EQ(right.replay().turns.at(1).answer, second.colour);
}
