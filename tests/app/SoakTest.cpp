// A bot plays the real application for many moves in both modes, through
// level-ups, game overs, name entry and new games. After every settle the
// board is full, has no run of three and has a legal move; the number of live
// images stays the same from game to game (nothing leaks).
#include <gtest/gtest.h>

#include <cstdlib>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "board/Board.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"

namespace Varn::test {
namespace {

int SoakMoves() {
    const char* configured = std::getenv("GEMLODE_SOAK_MOVES");
    return configured ? std::atoi(configured) : 400;
}

// Answers whatever dialog is open with its first button (or closes it).
bool AnswerDialogs(AppHarness& h) {
    for (int id : {8, 16, 0, 1, 3, 4, 9}) {
        Dialog* dialog = h.app->GetDialog(id);
        if (!dialog) continue;
        if (id == 1) {  // never quit
            h.Click(dialog->secondButton->x + 2, dialog->secondButton->y + 2);
        } else if (dialog->firstButton) {
            DialogButton* button = dialog->firstButton.get();
            h.Click(button->x + button->width / 2, button->y + button->height / 2);
        } else {
            h.app->CloseDialog(id);
        }
        return true;
    }
    return false;
}

TEST(SoakTest, BotPlaysManyGamesInBothModesWithoutFaultOrGrowth) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    int moves = 0;
    int games = 0;
    size_t imagesAtFirstGame = 0;
    // At least the configured number of moves, and at least one whole game.
    while (moves < SoakMoves() || (games == 0 && moves < 20000)) {
        if (AnswerDialogs(h)) continue;
        if (HighScoreWidget* over = h.app->GetGameOverScreen()) {
            ++games;
            size_t images = h.app->GetImageRegistry()->Count();
            if (games == 1) imagesAtFirstGame = images;
            EXPECT_LE(images, imagesAtFirstGame + 2) << "game " << games;
            h.app->SetMode(games % 2 == 1, false);
            HyperlinkWidget* link = over->GetPlayAgainLink();
            h.Tick(80);  // let the panel slide in
            h.Click(link->x + link->width / 2, link->y + link->height / 2);
            continue;
        }
        Board* board = h.app->GetBoard();
        ASSERT_NE(board, nullptr);
        if (board->state == BoardState::Idle && !board->IsPaused()) {
            ASSERT_FALSE(board->HasRun());
            SwapMove move;
            ASSERT_TRUE(board->FindMove(&move, 0, true, true));
            ASSERT_TRUE(h.MakeMove());
            ++moves;
            continue;
        }
        h.Tick(9);
    }
    EXPECT_GT(games, 0);
}

}  // namespace
}  // namespace Varn::test
