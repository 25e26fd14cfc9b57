// The per-tick state machine: the first board, swaps and swap-backs, clearing
// and falling, the start announcement, the idle hint, game over, level up
// with its wipe, the timed drop-away, and pausing.
#include <gtest/gtest.h>

#include <cmath>

#include "FakeBoardHost.h"

namespace Varn {
namespace {

using test::CenterX;
using test::CenterY;
using test::FakeBoardHost;
using test::LayOut;
using test::Tick;
using test::TickUntil;

// 6 6 in row 5 and a 6 at (3,4): swapping (3,4) with (3,5) makes a set.
const std::vector<std::string> kOneMove = {"........", "........", "........",
                                           "........", "...6....", ".66....."};

class BoardStateTest : public ::testing::Test {
protected:
    std::unique_ptr<Board> MakeIdleBoard(bool timed = false,
                                         const std::vector<std::string>& rows = kOneMove) {
        auto board = std::make_unique<Board>(host, timed);
        LayOut(*board, rows);
        host.sounds.clear();
        return board;
    }
    FakeBoardHost host{11};
};

TEST_F(BoardStateTest, FirstBoardOffersTheTutorialMoveLowInTheMiddle) {
    for (std::uint32_t seed = 1; seed <= 25; ++seed) {
        FakeBoardHost seeded(seed);
        Board board(seeded, false);
        const TutorialMove& t = board.tutorialMove;
        ASSERT_GE(t.c1, 1);
        ASSERT_LE(t.c1, 6);
        ASSERT_GE(t.r, 4);
        ASSERT_LE(t.r, 6);
        ASSERT_EQ(t.c2, t.c1 + 1);
        EXPECT_EQ(board.state, BoardState::Falling);
        EXPECT_FALSE(board.HasRun());
        board.grid.SwapCells(t.c1, t.r, t.c2, t.r);
        EXPECT_TRUE(board.HasRun()) << "seed " << seed;
    }
}

TEST_F(BoardStateTest, NewBoardFallsIntoPlaceAndWaits) {
    Board board(host, false);
    const int ticks = TickUntil(board, BoardState::Idle, 2000);
    EXPECT_LT(ticks, 2000);
    board.grid.ForEachGem([](const Gem& g) {
        EXPECT_EQ(g.y, RowY(g.row));
        EXPECT_EQ(g.vy, 0.0);
    });
    EXPECT_GT(host.CountSound(8), 0) << "landing sounds";
}

TEST_F(BoardStateTest, SwapTakes36TicksAndClearsTheSet) {
    auto board = MakeIdleBoard();
    Gem* upper = board->grid.At(3, 4);
    Gem* lower = board->grid.At(3, 5);
    board->StartSwap(lower, upper);
    ASSERT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->swapCenterY, (RowY(4) + RowY(5)) / 2);
    Tick(*board, 35);
    EXPECT_EQ(board->state, BoardState::Swapping);
    EXPECT_NEAR(lower->y, RowY(4), 1.0) << "almost at the other cell";
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::Clearing);
    EXPECT_EQ(board->grid.At(3, 4), lower);
    EXPECT_EQ(lower->row, 4);
    EXPECT_EQ(lower->y, RowY(4));
    EXPECT_TRUE(upper->vanishing) << "the 6 completes row 5";
    EXPECT_FALSE(lower->vanishing);
    EXPECT_FALSE(board->noMoveYet);
    EXPECT_EQ(board->cascadeLevel, 1);
    EXPECT_EQ(board->score, 10);
    EXPECT_EQ(board->swapA, nullptr);
}

TEST_F(BoardStateTest, SwapWithoutSetSwapsBackAfter72TicksWithTheBadSound) {
    auto board = MakeIdleBoard();
    Gem* a = board->grid.At(0, 0);
    Gem* b = board->grid.At(1, 0);
    board->StartSwap(a, b);
    Tick(*board, 35);
    EXPECT_EQ(host.CountSound(7), 0);
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::SwappingBack);
    EXPECT_EQ(host.CountSound(7), 1) << "at the turn";
    EXPECT_EQ(board->grid.At(1, 0), a) << "the gems change cells at the turn";
    Tick(*board);
    EXPECT_NEAR(a->x, ColumnX(1), 3.0) << "starts back from the other cell";
    Tick(*board, 34);
    EXPECT_EQ(board->state, BoardState::SwappingBack);
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::Idle);
    EXPECT_EQ(board->grid.At(0, 0), a);
    EXPECT_EQ(a->x, ColumnX(0));
    EXPECT_EQ(b->x, ColumnX(1));
    EXPECT_TRUE(board->noMoveYet);
    EXPECT_EQ(board->score, 0);
}

TEST_F(BoardStateTest, SwapOfNonNeighboursIsRefused) {
    auto board = MakeIdleBoard();
    board->StartSwap(board->grid.At(0, 0), board->grid.At(1, 1));  // diagonal
    board->StartSwap(board->grid.At(0, 0), board->grid.At(2, 0));
    EXPECT_EQ(board->state, BoardState::Idle);
    EXPECT_EQ(host.CountSound(7), 2);
    EXPECT_EQ(board->swapA, nullptr);
}

TEST_F(BoardStateTest, ClearingVanishesOverEighteenTicksThenRefillsAndCascades) {
    auto board = MakeIdleBoard();
    board->StartSwap(board->grid.At(3, 5), board->grid.At(3, 4));
    Tick(*board, 36);
    ASSERT_EQ(board->state, BoardState::Clearing);
    const int start = board->updateCount;
    TickUntil(*board, BoardState::Falling, 100);
    // Frames advance on ticks divisible by 3: six steps past frame 5, then one
    // more tick with no vanishing gem closes the columns.
    EXPECT_GE(board->updateCount - start, 16);
    EXPECT_LE(board->updateCount - start, 21);
    EXPECT_EQ(board->cascadeLevel, 2);
    EXPECT_TRUE(board->grid.IsFull());
    EXPECT_LT(board->grid.At(1, 0)->y, RowY(0)) << "new gems start above the board";
    for (int i = 0;
         i < 2000 && (board->state == BoardState::Falling || board->state == BoardState::Clearing);
         ++i)
        Tick(*board);
    EXPECT_TRUE(board->grid.IsFull());
    EXPECT_FALSE(board->HasRun());
}

TEST_F(BoardStateTest, NoMovesInNormalModeEndsTheGame) {
    auto board = MakeIdleBoard(false, {});
    board->state = BoardState::Falling;
    const int played = host.timesPlayed;
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::GameOverFall);
    EXPECT_EQ(board->message.text, "NO MOVES!");
    EXPECT_EQ(board->message.remaining, 400);
    EXPECT_EQ(board->gameOverDelay, 200);
    EXPECT_EQ(host.timesPlayed, played + 1);
}

TEST_F(BoardStateTest, MoveThatFillsTheBarAndLeavesNoMoveGoesUpALevel) {
    auto board = MakeIdleBoard();
    board->score = board->displayedScore = 495;
    board->StartSwap(board->grid.At(3, 5), board->grid.At(3, 4));
    TickUntil(*board, BoardState::Falling, 200);
    LayOut(*board);  // the refill has left no move
    board->state = BoardState::Falling;
    const int played = host.timesPlayed;
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::LevelUpWhirl);
    EXPECT_FALSE(board->message.active);
    EXPECT_EQ(host.timesPlayed, played);
}

TEST_F(BoardStateTest, NoMovesInTimedModeDropsTheBoardAndDealsANewOne) {
    auto board = MakeIdleBoard(true, {});
    board->state = BoardState::Falling;
    Tick(*board);
    ASSERT_EQ(board->state, BoardState::DropAway);
    // At most one resting gem per column starts in a tick, the lowest one.
    for (int i = 0; i < 30 && board->state == BoardState::DropAway; ++i) {
        int moving[8] = {};
        board->grid.ForEachGem([&](const Gem& g) { moving[g.column] += g.vy != 0.0; });
        Tick(*board);
        int after[8] = {};
        board->grid.ForEachGem([&](const Gem& g) { after[g.column] += g.vy != 0.0; });
        for (int c = 0; c < 8; ++c) EXPECT_LE(after[c] - moving[c], 1);
        for (int c = 0; c < 8; ++c) {
            if (after[c] == 1) {
                EXPECT_NE(board->grid.At(c, 7)->vy, 0.0) << "lowest first";
            }
        }
    }
    TickUntil(*board, BoardState::Falling, 20000);
    EXPECT_EQ(board->startCountdown, 200);
    EXPECT_LT(board->grid.At(0, 7)->y, 0) << "a new board falls in";
    TickUntil(*board, BoardState::Idle, 2000);
}

TEST_F(BoardStateTest, AtTick150GoIsShownOrTheStartTipForANewPlayer) {
    struct Case {
        bool tip;
        int played;
        bool go;
        bool arrows;
    } cases[] = {{false, 0, true, false}, {true, 4, false, true}, {true, 5, true, false}};
    for (const Case& c : cases) {
        FakeBoardHost h(2);
        h.showStartTip = c.tip;
        h.timesPlayed = c.played;
        Board board(h, false);
        Tick(board, 149);
        EXPECT_EQ(h.CountSound(14), 0);
        Tick(board);
        EXPECT_EQ(h.CountSound(14), 1);
        EXPECT_EQ(board.message.active && board.message.text == "GO!", c.go);
        EXPECT_EQ(h.startTipsShown, c.arrows ? 1 : 0);
        EXPECT_EQ(board.tutorialArrows, c.arrows);
        Tick(board, 300);
        EXPECT_EQ(h.CountSound(14), 1) << "only once";
    }
}

TEST_F(BoardStateTest, MakingTheTutorialMoveClosesTheTipAndArrows) {
    FakeBoardHost h(4);
    h.showStartTip = true;
    h.timesPlayed = 0;
    Board board(h, false);
    TickUntil(board, BoardState::Idle);
    Tick(board, std::max(0, 150 - board.updateCount));
    ASSERT_TRUE(board.tutorialArrows);
    const TutorialMove t = board.tutorialMove;
    board.StartSwap(board.grid.At(t.c1, t.r), board.grid.At(t.c2, t.r));
    EXPECT_FALSE(board.tutorialArrows);
    EXPECT_FALSE(h.showStartTip);
    EXPECT_EQ(std::count(h.closedDialogs.begin(), h.closedDialogs.end(), 9), 1);
}

TEST_F(BoardStateTest, IdleHintFlashesAfter1500IdleTicks) {
    auto board = MakeIdleBoard();
    board->idleTicks = 0;
    Tick(*board, 1500);
    EXPECT_EQ(board->hintFlashCountdown, 0);
    Tick(*board);
    EXPECT_EQ(board->hintFlashCountdown, 400);
    EXPECT_EQ(board->hintFlashDuration, 400);
    EXPECT_EQ(board->idleTicks, 0);
    double strongest = 0.0;
    int peaks = 0;
    double previous = 0.0;
    bool rising = true;
    for (int i = 0; i < 400; ++i) {
        Tick(*board);
        const double s = board->hintFlashStrength;
        strongest = std::max(strongest, s);
        if (rising && s < previous) ++peaks;
        rising = s >= previous;
        previous = s;
    }
    EXPECT_EQ(board->hintFlashStrength, 0.0);
    EXPECT_NEAR(strongest, 1.0, 0.01);
    EXPECT_EQ(peaks, 3) << "three pulses";
}

TEST_F(BoardStateTest, IdleCountDoesNotTriggerTheHintOutsideIdle) {
    auto board = MakeIdleBoard();
    board->state = BoardState::GameOverShown;
    Tick(*board, 1600);
    EXPECT_EQ(board->hintFlashCountdown, 0);
    EXPECT_GT(board->idleTicks, 1500);
}

TEST_F(BoardStateTest, GameOverShakesThenThrowsAndFallsOffTheBoard) {
    auto board = MakeIdleBoard();
    board->EndGame(200);
    EXPECT_EQ(host.CountSound(9), 0);
    Tick(*board, 5);  // ticks 1-5: no shake on ticks not divisible by 6
    board->grid.ForEachGem([](const Gem& g) { EXPECT_EQ(g.x, ColumnX(g.column)); });
    Tick(*board);  // tick 6 shakes
    bool shaken = false;
    board->grid.ForEachGem([&](const Gem& g) {
        EXPECT_LE(std::abs(g.x - ColumnX(g.column)), 4);
        EXPECT_LE(std::abs(g.y - RowY(g.row)), 4);
        shaken |= g.x != ColumnX(g.column) || g.y != RowY(g.row);
        EXPECT_EQ(g.vx, 0);
    });
    EXPECT_TRUE(shaken);
    Tick(*board, 194);
    EXPECT_EQ(board->gameOverDelay, 0);
    EXPECT_EQ(host.CountSound(9), 1) << "the burst when the delay ends";
    board->grid.ForEachGem([](const Gem& g) {
        EXPECT_GE(g.vy, -6);
        EXPECT_LE(g.vy, 1);
        EXPECT_GE(g.vx, -3);
        EXPECT_LE(g.vx, 3);
    });
    TickUntil(*board, BoardState::GameOverShown, 2000);
    ASSERT_EQ(board->state, BoardState::GameOverShown);
    board->grid.ForEachGem([&](const Gem& g) { EXPECT_GE(g.y, board->height + 49); });
    EXPECT_EQ(host.CountSound(16), 1);
    EXPECT_EQ(host.gameOversShown, 1);
    EXPECT_EQ(host.newBoards, 0);
}

TEST_F(BoardStateTest, AbandonedGameAsksForANewBoardInsteadOfGameOver) {
    auto board = MakeIdleBoard();
    board->AbandonGame();
    EXPECT_EQ(board->gameOverDelay, 50);
    EXPECT_TRUE(board->abandoned);
    for (int i = 0; i < 2000 && host.newBoards == 0; ++i) Tick(*board);
    EXPECT_EQ(host.newBoards, 1);
    EXPECT_EQ(host.gameOversShown, 0);
    EXPECT_EQ(host.CountSound(16), 0);
}

TEST_F(BoardStateTest, AbandoningDuringTheEndSequenceCountsTheGameOnce) {
    auto board = MakeIdleBoard();
    const int played = host.timesPlayed;
    host.nowMs += 30000;
    board->EndGame(200);
    const int seconds = board->gameSeconds;
    Tick(*board, 20);
    host.nowMs += 5000;
    board->AbandonGame();
    EXPECT_EQ(host.timesPlayed, played + 1);
    EXPECT_EQ(board->gameSeconds, seconds);
    EXPECT_EQ(board->gameOverDelay, 50);
    for (int i = 0; i < 2000 && host.newBoards == 0; ++i) Tick(*board);
    EXPECT_EQ(host.newBoards, 1);
    EXPECT_EQ(host.gameOversShown, 0);
}

TEST_F(BoardStateTest, GameSecondsCountOnlyUnpausedTime) {
    host.nowMs = 0;
    Board board(host, false);
    host.nowMs = 10500;
    board.PauseBoard(false);
    host.nowMs = 60000;
    board.ResumeBoard(false);
    host.nowMs = 65200;
    board.EndGame(200);
    EXPECT_EQ(board.gameSeconds, 15) << "10 before the pause, 5 after";
}

TEST_F(BoardStateTest, GameEndedWhilePausedDoesNotCountThePausedStretchTwice) {
    host.nowMs = 0;
    Board board(host, false);
    host.nowMs = 20000;
    board.PauseBoard(false);  // the new-game question is open
    host.nowMs = 90000;
    board.AbandonGame();
    EXPECT_EQ(board.gameSeconds, 20);
}

TEST_F(BoardStateTest, PausedBoardFreezesCompletely) {
    for (const bool player : {false, true}) {
        auto board = MakeIdleBoard(true);
        board->startCountdown = 0;
        board->ShowMessage("GO!", 250);
        board->PauseBoard(player);
        const int ticks = board->updateCount;
        Tick(*board, 500);
        EXPECT_EQ(board->updateCount, ticks);
        EXPECT_EQ(board->message.remaining, 250);
        EXPECT_EQ(board->drain, 0.0);
        board->ResumeBoard(player);
        Tick(*board);
        EXPECT_EQ(board->updateCount, ticks + 1);
        EXPECT_GT(board->drain, 0.0);
    }
}

TEST_F(BoardStateTest, LevelUpWhirlsIntoTheCentreWipesAndDealsTheNextLevel) {
    auto board = MakeIdleBoard();
    board->score = board->displayedScore = 520;
    board->levelTargetScore = 500;
    Tick(*board);
    ASSERT_EQ(board->state, BoardState::LevelUpWhirl);
    ASSERT_EQ(host.loopIds.size(), 1u);
    EXPECT_EQ(host.loopIds[0], 19);
    EXPECT_EQ(host.liveLoops, 1);
    const int whirlStart = board->updateCount;
    bool sawLevelMessage = false;
    while (board->state == BoardState::LevelUpWhirl && board->updateCount < whirlStart + 1000) {
        Tick(*board);
        if (board->message.active && board->message.text == "LEVEL 2") sawLevelMessage = true;
    }
    ASSERT_EQ(board->state, BoardState::NewLevelWipe);
    EXPECT_TRUE(sawLevelMessage);
    EXPECT_TRUE(board->levelMessage);
    EXPECT_EQ(host.CountSound(15), 1);
    EXPECT_EQ(host.CountSound(17), 1);
    EXPECT_EQ(board->grid.GemCount(), 0);
    EXPECT_EQ(board->level, 1);
    EXPECT_EQ(board->levelNumber, 1) << "shown number changes when the board is dealt";
    EXPECT_EQ(board->multiplier, 2.0);
    EXPECT_EQ(board->pointsNeeded, 1200);
    EXPECT_EQ(board->levelStartScore, 520);
    EXPECT_EQ(board->levelTargetScore, 1720);
    EXPECT_EQ(board->wipeLine, 0);
    EXPECT_NEAR(board->whirlpoolVolume, 1.0, 1e-9);
    ASSERT_FALSE(host.loopVolumes.empty());
    EXPECT_NEAR(host.loopVolumes.front(), 0.02, 1e-9);

    const int wipeTicks = TickUntil(*board, BoardState::Falling, 1000);
    EXPECT_EQ(wipeTicks, 161) << "3 lines a tick past the 480-line board";
    EXPECT_EQ(board->levelNumber, 2);
    EXPECT_EQ(board->startCountdown, 200);
    EXPECT_TRUE(board->grid.IsFull());
    EXPECT_EQ(host.liveLoops, 0) << "the whirlpool faded out and was released";
    EXPECT_EQ(board->whirlpoolVolume, 0.0);
}

TEST_F(BoardStateTest, WhirlpoolFallsSilentWhilePausedAndStopsWhenTheGameEnds) {
    for (const BoardState ending : {BoardState::LevelUpWhirl, BoardState::NewLevelWipe}) {
        auto board = MakeIdleBoard();
        board->StartLevelUp();
        TickUntil(*board, ending, 3000);
        Tick(*board, 20);
        ASSERT_EQ(host.liveLoops, 1);
        const double volume = board->whirlpoolVolume;
        ASSERT_GT(volume, 0.0);
        board->PauseBoard(false);
        EXPECT_EQ(host.loopVolumes.back(), 0.0) << "silent while paused";
        board->ResumeBoard(false);
        EXPECT_EQ(host.loopVolumes.back(), volume) << "back at its volume";
        board->AbandonGame();  // New Game during the whirl or the wipe
        EXPECT_EQ(host.liveLoops, 0);
        Tick(*board, 100);
        EXPECT_EQ(host.liveLoops, 0);
    }
}

TEST_F(BoardStateTest, LevelUpWithoutSoundDeviceRunsSilently) {
    host.soundWorks = false;
    auto board = MakeIdleBoard();
    board->StartLevelUp();
    TickUntil(*board, BoardState::Falling, 3000);
    EXPECT_EQ(board->state, BoardState::Falling);
    EXPECT_EQ(board->level, 1);
}

TEST_F(BoardStateTest, BarBlinksWhiteDuringTheWhirlInEitherMode) {
    auto board = MakeIdleBoard();
    board->StartLevelUp();
    bool white = false;
    for (int i = 0; i < 16; ++i) {
        Tick(*board);
        white |= board->barFrame == 24;
    }
    EXPECT_TRUE(white);
}

TEST_F(BoardStateTest, PopupsRiseFadeAndExpire) {
    auto board = MakeIdleBoard();
    board->scorePopups.push_back({100, 100, 110, -1, 10});
    Tick(*board, 30);
    ASSERT_EQ(board->scorePopups.size(), 1u);
    EXPECT_EQ(board->scorePopups[0].y, 90);
    EXPECT_EQ(board->scorePopups[0].fade, -1);
    Tick(*board, 75);
    EXPECT_EQ(board->scorePopups[0].fade, 3) << "5 - 6 / 3 with six ticks of life left";
    Tick(*board, 5);
    EXPECT_TRUE(board->scorePopups.empty());
}

TEST_F(BoardStateTest, MessageRunsForItsTicksAndANewOneReplacesIt) {
    auto board = MakeIdleBoard();
    board->updateCount = 1000;  // past the start announcement
    board->ShowMessage("GO!", 250);
    EXPECT_EQ(board->message.width, 60);
    EXPECT_EQ(board->message.height, 40);
    Tick(*board, 100);
    EXPECT_NEAR(board->message.phase, 7.0, 1e-9);
    board->ShowMessage("EXCELLENT!", 200);
    EXPECT_EQ(board->message.phase, 0.0);
    Tick(*board, 199);
    EXPECT_TRUE(board->message.active);
    Tick(*board);
    EXPECT_FALSE(board->message.active);
}

TEST_F(BoardStateTest, DestructionClosesTheStartTip) {
    { Board board(host, false); }
    EXPECT_EQ(std::count(host.closedDialogs.begin(), host.closedDialogs.end(), 9), 1);
}

}  // namespace
}  // namespace Varn
