// Game-controller play on the real application: board highlight, focus ring, dialogs, keyboard.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "app/OptionsDialog.h"
#include "app/RecordScoreDialog.h"
#include "board/Board.h"
#include "board/BoardGeometry.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Dialog.h"
#include "widgets/EditWidget.h"
#include "widgets/FocusRing.h"
#include "widgets/ScreenKeyboard.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

class PadPlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        h.Start();
        h.StartPlaying();
        ASSERT_TRUE(h.TickUntil([&] { return board()->state == BoardState::Idle; }));
    }
    Board* board() { return h.app->GetBoard(); }
    FocusRing& ring() { return h.app->GetFocusRing(); }
    void Press(int button, int times = 1) {
        for (int i = 0; i < times; ++i) {
            h.platform.window.PostPad(button, true);
            h.platform.window.PostPad(button, false);
            h.Tick();
        }
    }
    int RingButtonId() {
        auto* button = dynamic_cast<ButtonWidget*>(ring().Target());
        return ring().Shown() && button ? button->id : -1;
    }

    AppHarness h;
};

TEST_F(PadPlayTest, FirstDirectionShowsTheHighlightAndTheNextOnesMoveIt) {
    EXPECT_FALSE(board()->PadCursorShown());
    Press(kPadDown);
    EXPECT_EQ(board()->padColumn * 10 + board()->padRow, 33);
    Press(kPadUp);
    Press(kPadRight, 6);  // stops at the edge
    EXPECT_EQ(board()->padColumn * 10 + board()->padRow, 72);
    EXPECT_FALSE(ring().Shown());
    h.platform.window.PostMouse(kMsgMouseMove, 300, 300);  // the mouse takes over
    h.Tick();
    EXPECT_FALSE(board()->PadCursorShown());
}

TEST_F(PadPlayTest, ASelectsBDeselectsAndADirectionSwapsTheSelectedGemAsADrag) {
    Press(kPadDown);
    Press(kPadA);
    Press(kPadB);
    EXPECT_EQ(board()->selected, nullptr);
    Press(kPadA);
    Gem* chosen = board()->grid.At(3, 3);
    ASSERT_EQ(board()->selected, chosen);
    Press(kPadRight);
    EXPECT_EQ(board()->selected, nullptr);
    EXPECT_EQ(board()->swapA == chosen ? board()->swapB : board()->swapA, board()->grid.At(4, 3));
}

TEST_F(PadPlayTest, StartPausesAndResumes) {
    Press(kPadStart);
    EXPECT_GT(board()->playerPauseCount, 0);
    Press(kPadStart);
    EXPECT_EQ(board()->playerPauseCount, 0);
}

TEST_F(PadPlayTest, YAsksForAHintAtItsCost) {
    ASSERT_TRUE(h.MakeMove());
    ASSERT_TRUE(h.TickUntil([&] { return board()->state == BoardState::Idle; }));
    const int score = board()->score;
    Press(kPadY);
    EXPECT_LT(board()->score, score);
}

TEST_F(PadPlayTest, ShouldersWalkTheRingOverThePanelAndBReturnsToTheBoard) {
    Press(kPadDown);
    Press(kPadRightShoulder);  // the ring appears on the first button
    EXPECT_FALSE(board()->PadCursorShown());
    EXPECT_EQ(RingButtonId(), 10);  // New Game
    Press(kPadRightShoulder, 2);
    EXPECT_EQ(RingButtonId(), 12);  // past Normal to Timed
    Press(kPadDown);                // the d-pad walks it too
    EXPECT_EQ(RingButtonId(), 13);  // Options
    Press(kPadLeftShoulder, 4);     // wraps round to Quit
    EXPECT_EQ(RingButtonId(), 14);
    Press(kPadB);
    EXPECT_FALSE(ring().Shown());
    Press(kPadLeft);
    EXPECT_TRUE(board()->PadCursorShown());
}

TEST_F(PadPlayTest, APressesTheFocusedButtonAndTheRingMovesIntoTheDialog) {
    Press(kPadLeftShoulder, 2);  // from New Game back round to Quit
    ASSERT_EQ(RingButtonId(), 14);
    Press(kPadA);
    Dialog* quit = h.app->GetDialog(1);
    ASSERT_NE(quit, nullptr);
    h.Tick();
    EXPECT_EQ(ring().Target(), quit->firstButton.get());  // YES
    Press(kPadDown, 2);  // NO, and round to YES: only the dialog's buttons
    EXPECT_EQ(ring().Target(), quit->firstButton.get());
    Press(kPadDown);
    Press(kPadA);
    EXPECT_EQ(h.app->GetDialog(1), nullptr);
    EXPECT_TRUE(h.app->running);
}

TEST_F(PadPlayTest, LeftAndRightMoveAFramedSliderInTenths) {
    h.ClickButton(13);
    auto* options = dynamic_cast<OptionsDialog*>(h.app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    for (int i = 0; i < 12 && ring().Target() != options->musicSlider.get(); ++i) Press(kPadUp);
    ASSERT_EQ(ring().Target(), options->musicSlider.get());
    const double before = h.app->GetMusicVolume();
    Press(kPadLeft);
    EXPECT_NEAR(h.app->GetMusicVolume(), std::max(0.0, before - 0.1), 1e-9);
}

TEST_F(PadPlayTest, BInADialogPressesItsCancellingButtonAndNeverReachesTheBoard) {
    h.ClickButton(14);
    ASSERT_NE(h.app->GetDialog(1), nullptr);
    Press(kPadB);
    h.Tick();  // the Escape it stands for is queued behind the pad's record
    EXPECT_EQ(h.app->GetDialog(1), nullptr);  // NO: the Quit question goes, the game goes on
    EXPECT_TRUE(h.app->running);
    EXPECT_FALSE(board()->IsPaused());
}

TEST_F(PadPlayTest, TheControllerTypesAnAccentedNameOnTheScreenKeyboardAndRecordsIt) {
    board()->score = 850;
    board()->state = BoardState::GameOverShown;
    h.app->ShowGameOver();
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(8) != nullptr; }, 200));
    auto* dialog = dynamic_cast<RecordScoreDialog*>(h.app->GetDialog(8));
    ASSERT_EQ(dialog->GetKeyboard(), nullptr);  // the mouse was in use
    Press(kPadDown);                            // shows the keyboard; types nothing yet
    ScreenKeyboard* keys = dialog->GetKeyboard();
    ASSERT_NE(keys, nullptr);
    EXPECT_FALSE(ring().Shown());
    EXPECT_GE(keys->y, dialog->y + dialog->height);
    EXPECT_LE(keys->y + keys->height, 480);
    for (const std::string label : {"SHIFT", "B", "SHIFT", "\xE0\xE9\xEE", "\xE9", "\xE9"}) {
        for (int step = 0; step < 52 && keys->Label(keys->Highlighted()) != label; ++step)
            Press(step % 13 == 12 ? kPadDown : kPadRight);  // row by row
        ASSERT_EQ(keys->Label(keys->Highlighted()), label);
        Press(kPadA);
    }
    Press(kPadB);  // deletes the second
    EXPECT_EQ(dialog->GetName(), "B\xE9");
    EXPECT_TRUE(h.SaveScreen("name-entry-keyboard"));
    for (int i = 0; i < 20; ++i) Press(kPadA);  // the name's width limit holds
    const std::string name = dialog->GetName();
    EXPECT_LE(h.app->GetTextFont()->StringWidth(name), RecordScoreDialog::kMaxNamePixels);
    Press(kPadStart);
    EXPECT_EQ(name.substr(0, 3), "B\xE9\xE9");
    EXPECT_EQ(h.app->GetGameOverScreen()->tables.modes[HighScoreTables::kNormalMode].today.name,
              name);
}

}  // namespace
}  // namespace Varn::test
