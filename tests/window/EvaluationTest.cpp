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
#include <QSignalSpy>
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

bool waitForVerdict(EvaluationPanel& panel)
{
    QSignalSpy done(&panel, &EvaluationPanel::evaluated);
    return done.count() > 0 || done.wait(20000);
}

} // namespace

TEST(Evaluation, ShowsTheChosenLevelsMoveForThePositionOnShowAndFollowsIt)
{
    std::srand(1);
    main_window window(QStringList{"vorlen", "--evaluation", "--seed", "4", "--first", "search:3"}, nullptr);
    window.show();
    EvaluationPanel& panel = *window.evaluation();
    ASSERT_TRUE(panel.isVisible()) << "--evaluation shows it from the start";
    ASSERT_TRUE(waitForVerdict(panel));
    // Before any turn: the first seat to move; the search player's own choice.
    EXPECT_EQ(panel.verdict(), expectedWords(window, "search:3", 0, 3));
    const Assessment opening = assess(BitBoard(window.match().board()), 0, 3);
    playTurn(window);
    EXPECT_EQ(window.replay().turns.at(0).answer, opening.colour) << "the panel's move is the one search:3 plays";

    ASSERT_TRUE(waitForVerdict(panel));
    EXPECT_EQ(panel.verdict(), expectedWords(window, "stupid", 1, 3));
    // Another level: searched afresh.
    panel.setLevel(5);
    ASSERT_TRUE(waitForVerdict(panel));
    EXPECT_EQ(panel.verdict(), expectedWords(window, "stupid", 1, 5));
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
    QSignalSpy done(&panel, &EvaluationPanel::evaluated);
    ASSERT_TRUE(done.wait(20000));
    QTest::qWait(300); // a stale search would land after
    EXPECT_EQ(panel.verdict(), expectedWords(*window, "stupid", 0, 5));
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
