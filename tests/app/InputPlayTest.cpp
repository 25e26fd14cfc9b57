// Keyboard or controller as the only input: prompts, a whole game, quitting, lost focus.
#include <gtest/gtest.h>

#include <string>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "app/TitleScreen.h"
#include "board/Board.h"
#include "widgets/Dialog.h"
#include "widgets/HyperlinkWidget.h"

namespace Varn::test {
namespace {

constexpr int kTab = 9, kEnter = 13, kShift = 16, kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// A key press as the keyboard gives it: down, its character (if any), up.
void Key(AppHarness& h, int code, int character = -1) {
    h.platform.window.PostKey(kMsgKeyDown, code);
    if (character >= 0) h.platform.window.PostKey(kMsgChar, character);
    h.platform.window.PostKey(kMsgKeyUp, code);
    h.Tick();
}

void Pad(AppHarness& h, int button) {
    h.platform.window.PostPad(button, true);
    h.platform.window.PostPad(button, false);
    h.Tick();
}

TEST(InputPlayTest, PromptsNameTheControllersButtonsOnlyWhileItIsTheInputInUse) {
    const char* texts[][2] = {{"CLICK HERE TO PLAY!", "PRESS A TO PLAY!"},
                              {"Click Here to Continue!", "Press START to Continue!"},
                              {"CLICK HERE TO PLAY AGAIN", "PRESS A TO PLAY AGAIN"}};
    for (int screen : {0, 1, 2}) {  // the title, the pause, the game over
        AppHarness h;
        h.Start();
        if (screen > 0) h.StartPlaying();
        if (screen == 1) Key(h, 'P', 'p');
        if (screen == 2) h.app->ShowGameOver();
        h.Tick(200);
        auto shown = [&]() -> std::string {
            if (screen == 0) return h.app->GetTitleScreen()->GetPlayLink()->label;
            if (screen == 1) return h.app->GetBoard()->ResumePrompt();
            return h.app->GetGameOverScreen()->GetPlayAgainLink()->label;
        };
        EXPECT_EQ(shown(), texts[screen][0]) << screen;
        Pad(h, kPadX);
        EXPECT_EQ(shown(), texts[screen][1]) << screen;
        Key(h, kShift);
        EXPECT_EQ(shown(), texts[screen][0]) << screen << " after a key";
        Pad(h, kPadX);
        h.platform.window.PostMouse(kMsgMouseMove, 620, 20);
        h.Tick();
        EXPECT_EQ(shown(), texts[screen][0]) << screen << " after the mouse";
    }
}

TEST(InputPlayTest, TheKeyboardAlonePlaysFromTheTitleToTheGameOverScreen) {
    AppHarness h;
    h.Start();
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetTitleScreen()->loadingDone; }, 100));
    Key(h, kTab, 9);  // the ring on PLAY
    Key(h, kEnter, 13);
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetBoard() != nullptr; }, 10));
    for (int i = 0; i < 3; ++i) Key(h, kTab, 9);  // New Game, Normal, Timed
    Key(h, kEnter, 13);                           // before the first move: a timed board at once
    Board* board = h.app->GetBoard();
    ASSERT_TRUE(board->timedMode);
    ASSERT_TRUE(h.TickUntil([&] { return board->state == BoardState::Idle; }));
    Key(h, kLeft);  // from the panel back to the board: the highlight shows
    SwapMove move;
    ASSERT_TRUE(board->FindMove(&move, 0, true, true));
    while (board->padColumn != move.column) Key(h, board->padColumn < move.column ? kRight : kLeft);
    while (board->padRow != move.row) Key(h, board->padRow < move.row ? kDown : kUp);
    Key(h, kEnter, 13);
    EXPECT_FALSE(board->IsPaused());  // the select key's character is no pause key
    ASSERT_NE(board->selected, nullptr);
    Key(h, move.otherColumn > move.column ? kRight : kDown);
    EXPECT_TRUE(h.TickUntil([&] { return board->score > 0; }, 300));
    Key(h, 'P', 'p');
    EXPECT_GT(board->playerPauseCount, 0);
    Key(h, ' ', ' ');
    EXPECT_EQ(board->playerPauseCount, 0);
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(8) != nullptr; }, 30000));
    Key(h, 'K', 'K');
    Key(h, kEnter, 13);
    EXPECT_EQ(h.app->lastScoreName, "K");
    EXPECT_NE(h.app->GetGameOverScreen(), nullptr);
}

TEST(InputPlayTest, BOrBackOnTheTitleAsksWhetherToQuit) {
    for (int button : {kPadB, kPadBack}) {
        AppHarness h;
        h.Start();
        ASSERT_TRUE(h.TickUntil([&] { return h.app->GetTitleScreen()->loadingDone; }, 100));
        Pad(h, button);
        ASSERT_NE(h.app->GetDialog(1), nullptr) << button;
        Pad(h, kPadA);  // YES
        EXPECT_TRUE(h.app->closing) << button;
    }
}

TEST(InputPlayTest, AWindowWithoutTheFocusPausesTheBoard) {
    for (bool timed : {true, false}) {
        AppHarness h;
        h.Start();
        h.StartPlaying();
        h.app->SetMode(timed, true);
        Board* board = h.app->GetBoard();
        ASSERT_TRUE(h.TickUntil([&] { return board->state == BoardState::Idle; }));
        h.Tick(300);  // the timed bar starts draining
        const double drain = board->drain;
        h.platform.window.Post({kMainWindow, kMsgActivateApp, 0, 0});
        h.Tick(1500);
        EXPECT_EQ(board->drain, drain) << timed;
        EXPECT_EQ(board->playerPauseCount, timed ? 1 : 0) << "the player's pause in timed mode";
        h.platform.window.Post({kMainWindow, kMsgActivateApp, 1, 0});
        h.Tick();
        EXPECT_EQ(board->IsPaused(), timed) << "the player resumes a timed board";
        if (timed) Key(h, 'P', 'p');
        EXPECT_LT(board->playedSeconds + (h.app->TickCountMs() - board->playStart) / 1000, 10u)
            << "the time away is no played time";
    }
}

}  // namespace
}  // namespace Varn::test
