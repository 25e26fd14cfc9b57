// The game flow on the real application object: title to game, moves, mode
// switches before and after the first move, New Game and Quit questions,
// saving at quit and the offer to continue, sounds and pausing.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "app/TitleScreen.h"
#include "board/Board.h"
#include "sound/MusicInterface.h"
#include "tests/platform/SystemFaults.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

constexpr int kNewGame = 10, kNormal = 11, kTimed = 12, kOptions = 13, kQuit = 14;

class GameFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.Start();
        h.StartPlaying();
        ASSERT_NE(h.app->GetBoard(), nullptr);
    }
    Board* board() { return h.app->GetBoard(); }

    AppHarness h;
};

TEST(TitleFlowTest, PlayLinkAppearsOnlyAfterLoadingAndLeadsToTheGame) {
    AppHarness h;
    h.Start();
    TitleScreen* title = h.app->GetTitleScreen();
    ASSERT_NE(title, nullptr);
    h.Tick(4);
    EXPECT_TRUE(title->loadingDone);
    EXPECT_DOUBLE_EQ(title->progress, 1.0);
    h.StartPlaying();
    EXPECT_EQ(h.app->GetTitleScreen(), nullptr);
    EXPECT_EQ(h.app->GetGameButtons().size(), 6u);
    ASSERT_NE(h.app->GetBoard(), nullptr);
    EXPECT_FALSE(h.app->timedMode);
    EXPECT_EQ(h.app->GetWidgetManager()->focusWidget, h.app->GetBoard());
}

TEST_F(GameFlowTest, FirstMoveScoresAndClosesTheStartTip) {
    EXPECT_TRUE(board()->noMoveYet);
    ASSERT_TRUE(h.MakeMove());
    EXPECT_FALSE(board()->noMoveYet);
    EXPECT_GT(board()->score, 0);
    EXPECT_EQ(h.app->GetDialog(9), nullptr);
}

TEST_F(GameFlowTest, OtherModeBeforeFirstMoveSwitchesWithoutQuestion) {
    Board* first = board();
    h.ClickButton(kTimed);
    EXPECT_TRUE(h.app->timedMode);
    EXPECT_NE(board(), first);
    EXPECT_EQ(h.app->GetDialog(4), nullptr);
}

TEST_F(GameFlowTest, OtherModeAfterFirstMoveAsksAndYesSwitches) {
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kTimed);
    ASSERT_NE(h.app->GetDialog(4), nullptr);
    EXPECT_TRUE(board()->IsPaused());
    h.ClickDialogButton(4, true);
    EXPECT_TRUE(h.app->timedMode);
    EXPECT_TRUE(board()->noMoveYet);
}

TEST_F(GameFlowTest, SameModeButtonAsksLikeNewGame) {
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kNormal);
    EXPECT_NE(h.app->GetDialog(0), nullptr);
    h.ClickDialogButton(0, false);
    EXPECT_EQ(h.app->GetDialog(0), nullptr);
    EXPECT_FALSE(board()->IsPaused());
}

TEST_F(GameFlowTest, NewGameDuringGameEndsItAndStartsFreshBoardWithoutGameOverScreen) {
    ASSERT_TRUE(h.MakeMove());
    Board* old = board();
    h.ClickButton(kNewGame);
    h.ClickDialogButton(0, true);
    ASSERT_TRUE(h.TickUntil([&] { return board() != old; }, 2000));
    EXPECT_EQ(h.app->GetGameOverScreen(), nullptr);
    EXPECT_TRUE(board()->noMoveYet);
}

TEST_F(GameFlowTest, QuitQuestionMentionsSavingOnlyWhileAGameIsInProgress) {
    h.ClickButton(kQuit);
    ASSERT_NE(h.app->GetDialog(1), nullptr);
    EXPECT_EQ(h.app->GetDialog(1)->body.find("saved"), std::string::npos);
    h.ClickDialogButton(1, false);
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kQuit);
    ASSERT_NE(h.app->GetDialog(1), nullptr);
    EXPECT_NE(h.app->GetDialog(1)->body.find("will be saved"), std::string::npos);
}

// A continued game keeps its file until it is saved again: a run killed before then leaves it.
TEST_F(GameFlowTest, QuittingSavesAndNextStartOffersToContinue) {
    ASSERT_TRUE(h.MakeMove());
    int score = board()->score;
    h.ClickButton(kQuit);
    h.ClickDialogButton(1, true);
    EXPECT_TRUE(h.app->closing);
    h.Restart();
    EXPECT_TRUE(std::filesystem::exists(h.folder / "savegame.dat"));
    h.StartPlaying();
    ASSERT_NE(h.app->GetDialog(16), nullptr);
    h.ClickDialogButton(16, true);
    EXPECT_EQ(board()->score, score);
    h.app->quitSaveDone = true;  // killed: nothing is written at its end
    h.Restart();
    h.StartPlaying();
    h.ClickDialogButton(16, true);
    EXPECT_EQ(board()->score, score);
}

// A continued game that ends (New Game, as a game over; the other mode) takes its file along.
TEST(ContinueFlowTest, AContinuedGameThatEndsTakesItsSavedGameAlong) {
    for (int button : {kNewGame, kTimed}) {
        AppHarness h;
        h.Start();
        h.StartPlaying();
        ASSERT_TRUE(h.MakeMove());
        h.Restart();
        h.StartPlaying();
        h.ClickDialogButton(16, true);
        h.ClickButton(button);
        h.ClickDialogButton(button == kNewGame ? 0 : 4, true);
        EXPECT_FALSE(std::filesystem::exists(h.folder / "savegame.dat"));
    }
}

TEST_F(GameFlowTest, DecliningTheSavedGameDeletesIt) {
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kQuit);
    h.ClickDialogButton(1, true);
    h.Restart();
    h.StartPlaying();
    h.ClickDialogButton(16, false);
    EXPECT_FALSE(std::filesystem::exists(h.folder / "savegame.dat"));
    EXPECT_TRUE(board()->noMoveYet);
}

TEST(ContinueFlowTest, AChosenSavedGameThatCannotBeReadIsReportedAndKeptAsBad) {
    AppHarness h;
    std::ofstream(h.folder / "savegame.dat") << "damaged";
    std::ofstream(h.folder / "savegame.dat.bad") << "older damage";
    h.Start();
    h.StartPlaying();
    h.ClickDialogButton(16, true);
    Dialog* told = h.app->GetDialog(17);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(told->body.find("could not be read"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(h.folder / "savegame.dat"));
    std::string kept;
    std::getline(std::ifstream(h.folder / "savegame.dat.bad"), kept);
    EXPECT_EQ(kept, "damaged");  // one copy, the newest
    EXPECT_TRUE(h.app->GetBoard()->noMoveYet);
    h.ClickDialogButton(17, true);
    EXPECT_EQ(h.app->GetDialog(17), nullptr);
    EXPECT_FALSE(h.app->GetBoard()->IsPaused());
}

TEST_F(GameFlowTest, ContinuedTimedGamePlaysTheTimedSong) {
    h.ClickButton(kTimed);  // before the first move: switches at once
    ASSERT_TRUE(h.app->timedMode);
    ASSERT_TRUE(h.MakeMove());
    h.Restart();  // the game in progress is saved at exit
    h.StartPlaying();
    ASSERT_FALSE(h.app->timedMode) << "a new start is in normal mode";
    h.ClickDialogButton(16, true);
    ASSERT_TRUE(h.app->timedMode);
    const auto timedSong = h.app->GetMusicInterface()->GetSongState(1);
    const auto normalSong = h.app->GetMusicInterface()->GetSongState(0);
    ASSERT_TRUE(timedSong && normalSong);
    EXPECT_GT(timedSong->fadeStep, 0.0) << "the timed song fades in";
    EXPECT_TRUE(normalSong->fadeStep < 0.0 || normalSong->volume == 0.0)
        << "the normal song fades out";
}

TEST_F(GameFlowTest, EveryButtonPressPlaysTheMenuClick) {
    h.app->sounds.clear();
    h.ClickButton(kNewGame);         // press on the button
    h.ClickDialogButton(0, false);  // press on NO
    EXPECT_EQ(std::count(h.app->sounds.begin(), h.app->sounds.end(), 12), 2);
}

TEST_F(GameFlowTest, ModalDialogFreezesBoardButStartTipDoesNot) {
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(9) != nullptr; }, 300));
    int updates = board()->updateCount;
    h.Tick(20);  // the start tip is up but not modal
    EXPECT_FALSE(board()->IsPaused());
    EXPECT_EQ(board()->updateCount, updates + 20);
    h.ClickButton(kOptions);
    EXPECT_TRUE(board()->IsPaused());
    updates = board()->updateCount;
    h.Tick(50);
    EXPECT_EQ(board()->updateCount, updates);
}

TEST(TitleFlowTest, NoThreadToLoadTheGameIsAFatalError) {
    AppHarness h;
    h.app->loadingThreadStarted = false;
    {
        NoNewThreads none;
        h.app->StartLoadingThread();
    }
    EXPECT_EQ(h.app->exitCodes, std::vector<int>{1});
    EXPECT_EQ(h.platform.desktop.boxes.back().caption, "FATAL ERROR");
}

}  // namespace
}  // namespace Varn::test
