// Scoring of sets, the EXCELLENT rule, statistics, level set-up, the bonus
// bar in both modes, the timed drain and warning, and the score roll.
#include <gtest/gtest.h>

#include "FakeBoardHost.h"

namespace Varn {
namespace {

using test::FakeBoardHost;
using test::LayOut;
using test::Tick;

class BoardScoringTest : public ::testing::Test {
protected:
    std::unique_ptr<Board> MakeBoard(bool timed = false) {
        auto board = std::make_unique<Board>(host, timed);
        LayOut(*board);
        board->setsThisMove = 0;
        board->movePoints = 0;
        return board;
    }
    FakeBoardHost host{3};
};

struct SetCase {
    int setNumber;
    int length;
    double multiplier;
    int points;
};

TEST_F(BoardScoringTest, PointsFollowTheTableOfSetNumberAndLength) {
    const SetCase cases[] = {
        {1, 3, 1.0, 10},   {2, 3, 1.0, 20},  {1, 5, 1.0, 30},  {3, 3, 1.0, 30},  {4, 3, 1.0, 40},
        {5, 3, 1.0, 60},   {6, 3, 1.0, 80},  {7, 3, 1.0, 110}, {8, 3, 1.0, 160}, {9, 3, 1.0, 210},
        {12, 3, 1.0, 210}, {1, 4, 1.0, 20},  {1, 6, 1.0, 50},  {1, 7, 1.0, 70},  {1, 8, 1.0, 90},
        {1, 3, 2.5, 25},   {1, 4, 1.55, 31}, {2, 3, 0.99, 19},
    };
    for (const SetCase& c : cases) {
        auto board = MakeBoard();
        board->multiplier = c.multiplier;
        board->setsThisMove = c.setNumber - 1;
        board->score = 1000;
        board->ScoreSet(c.length, 100, 200);
        EXPECT_EQ(board->score - 1000, c.points)
            << "set " << c.setNumber << " length " << c.length << " x" << c.multiplier;
    }
}

TEST_F(BoardScoringTest, ASetAddsAPopupAndCountsItsGems) {
    auto board = MakeBoard();
    board->gemsCleared = 7;
    board->ScoreSet(4, 300, 120);
    ASSERT_EQ(board->scorePopups.size(), 1u);
    const ScorePopup& p = board->scorePopups[0];
    EXPECT_EQ(p.x, 324);
    EXPECT_EQ(p.y, 136);
    EXPECT_EQ(p.life, 110);
    EXPECT_EQ(p.fade, -1);
    EXPECT_EQ(p.value, 20);
    EXPECT_EQ(board->gemsCleared, 11);
}

TEST_F(BoardScoringTest, TShapeScoresTwoSetsAndPlaysMultishot) {
    auto board = MakeBoard();
    board->multiplier = 1.0;
    LayOut(*board, {"........", "........", "........", "..555...", "...5....", "...5...."});
    board->cascadeLevel = 1;
    host.sounds.clear();
    ASSERT_TRUE(board->FindSets());
    EXPECT_EQ(board->score, 30) << "10 for the first set, 20 for the second";
    EXPECT_EQ(board->gemsCleared, 6);
    EXPECT_EQ(host.CountSound(0), 1) << "longest set is 3";
    EXPECT_EQ(host.CountSound(2), 1) << "cascade level 1";
    EXPECT_EQ(host.CountSound(13), 1) << "more than one set";
}

TEST_F(BoardScoringTest, SetSoundsUseCascadeAndPanOfTheSets) {
    auto board = MakeBoard();
    LayOut(*board, {"55555555"});
    board->cascadeLevel = 9;
    host.sounds.clear();
    ASSERT_TRUE(board->FindSets());
    ASSERT_EQ(host.sounds.size(), 2u);
    EXPECT_EQ(host.sounds[0].id, 1) << "a set longer than 3";
    EXPECT_EQ(host.sounds[1].id, 6) << "cascade sound capped at 2 + 4";
    EXPECT_EQ(host.sounds[0].pan, PanForX(381 + 24));
    EXPECT_EQ(board->idleTicks, 0);
}

TEST_F(BoardScoringTest, ExcellentShowsOnceWhenTheMoveCrossesItsThreshold) {
    auto board = MakeBoard();
    board->multiplier = 1.0;  // threshold 120
    for (int set = 0; set < 6; ++set) board->ScoreSet(3, 0, 0);
    // 10 + 20 + 30 + 40 = 100, + 60 = 160 crosses 120; + 80 does not show it again.
    EXPECT_EQ(host.CountSound(20), 1);
    EXPECT_EQ(board->message.text, "EXCELLENT!");
    EXPECT_EQ(board->message.remaining, 200);
    EXPECT_EQ(board->movePoints, 240);
    board->setsThisMove = 0;  // a new move
    board->ScoreSet(3, 0, 0);
    EXPECT_EQ(board->movePoints, 10) << "the first set of a move restarts its points";
    EXPECT_EQ(host.CountSound(20), 1);
}

TEST_F(BoardScoringTest, MoveBonusCountdownIsLimitedTo300To1200) {
    auto board = MakeBoard();
    board->multiplier = 2.0;
    board->ScoreSet(3, 0, 0);
    EXPECT_EQ(board->moveBonusCountdown, 300);
    board->movePoints = 1000;
    board->ScoreSet(3, 0, 0);  // (1000 + 40) / 2 * 3 = 1560
    EXPECT_EQ(board->moveBonusCountdown, 1200);
    board->movePoints = 200;
    board->ScoreSet(3, 0, 0);  // set 3: 60 points, (200 + 60) / 2 * 3 = 390
    EXPECT_EQ(board->moveBonusCountdown, 390);
}

TEST_F(BoardScoringTest, FirstSetOfAMoveStopsTheHintFlash) {
    auto board = MakeBoard();
    board->hintFlashCountdown = 100;
    board->hintFlashStrength = 0.7;
    board->ScoreSet(3, 0, 0);
    EXPECT_EQ(board->hintFlashCountdown, 0);
    EXPECT_EQ(board->hintFlashStrength, 0.0);
}

TEST_F(BoardScoringTest, SettlingRecordsCascadeAndBestMoveUnlessFrozen) {
    for (const bool frozen : {false, true}) {
        auto board = MakeBoard();
        LayOut(*board, {"........", "........", "........", "........", "...6....",
                        ".66....."});  // a move exists, no set
        board->state = BoardState::Falling;
        board->statsFrozen = frozen;
        board->cascadeLevel = 3;
        board->movePoints = 250;
        board->longestCascade = 2;
        board->bestMove = 100;
        board->StepFalling();
        EXPECT_EQ(board->state, BoardState::Idle);
        EXPECT_EQ(board->longestCascade, frozen ? 2 : 3);
        EXPECT_EQ(board->bestMove, frozen ? 100 : 250);
    }
}

TEST_F(BoardScoringTest, SetupLevelReadsTheTableForEachMode) {
    host.table.normalPointsBase = 1000;
    host.table.normalPointsGrowth = 250.5;
    host.table.normalMultiplierBase = 1.5;
    host.table.normalMultiplierGrowth = 0.25;
    host.table.drainRateBase = 10;
    host.table.drainRateGrowth = 2;
    host.table.drainAccelBase = 1;
    host.table.drainAccelGrowth = 0.5;
    Board normal(host, false);
    EXPECT_EQ(normal.multiplier, 1.5);
    EXPECT_EQ(normal.pointsNeeded, 1500);
    EXPECT_EQ(normal.levelTargetScore, 1500);
    normal.level = 2;
    normal.drain = 55;
    normal.SetupLevel();
    EXPECT_EQ(normal.multiplier, 2.0);
    EXPECT_EQ(normal.pointsNeeded, 3002) << "(1000 + 2 * 250.5) * 2";
    EXPECT_EQ(normal.drainRate, 28.0);
    EXPECT_EQ(normal.drainAccel, 4.0);
    EXPECT_EQ(normal.drain, 0.0);

    Board timed(host, true);
    EXPECT_EQ(timed.multiplier, 1.0);
    EXPECT_EQ(timed.pointsNeeded, 400);
}

TEST_F(BoardScoringTest, NormalBarFillsByDisplayedScoreAtTwoPixelsPerTick) {
    auto board = MakeBoard();
    board->levelStartScore = 0;
    board->levelTargetScore = 500;
    board->displayedScore = board->score = 250;  // target 170
    board->barPixels = 0;
    Tick(*board);
    EXPECT_EQ(board->barPixels, 2);
    Tick(*board, 200);
    EXPECT_EQ(board->barPixels, 170);
    EXPECT_EQ(board->barFrame, 23);
    board->displayedScore = board->score = -10;
    Tick(*board, 200);
    EXPECT_EQ(board->barPixels, 0) << "limited at 0";
}

TEST_F(BoardScoringTest, TimedBarStartsHalfFullAndDrainsAfterTheStartCountdown) {
    auto board = std::make_unique<Board>(host, true);
    EXPECT_EQ(board->barPixels, 0);
    test::TickUntil(*board, BoardState::Idle);
    ASSERT_LT(board->updateCount, 299);
    Tick(*board, 299 - board->updateCount);
    EXPECT_EQ(board->barPixels, 170) << "fill 0 is the middle";
    EXPECT_EQ(board->startCountdown, 1);
    EXPECT_EQ(board->drain, 0.0) << "nothing drains before the countdown runs out";
    Tick(*board);
    EXPECT_EQ(board->startCountdown, 0);
    EXPECT_DOUBLE_EQ(board->drain, 0.2) << "drain rate 20 per 100 ticks";
    EXPECT_DOUBLE_EQ(board->drainRate, 20.005);
}

TEST_F(BoardScoringTest, TimedDrainRunsOnlyWhenIdleOrSwapping) {
    auto board = MakeBoard(true);
    board->startCountdown = 0;
    board->drainRate = 100;
    board->drainAccel = 0;
    board->state = BoardState::Clearing;
    board->grid.ForEachGem([](Gem& g) { g.vanishing = true; });
    Tick(*board);
    EXPECT_EQ(board->drain, 0.0);
    LayOut(*board);
    Tick(*board);
    EXPECT_EQ(board->drain, 1.0);
}

TEST_F(BoardScoringTest, TimedBarTargetsAndWarningIntervals) {
    auto board = MakeBoard(true);
    board->startCountdown = 100000;  // no drain
    board->levelStartScore = 0;
    board->levelTargetScore = 400;
    board->displayedScore = board->score = -200;  // halfway down: 85 pixels
    board->barPixels = 85;
    board->lastWarningTick = 0;
    host.sounds.clear();
    Tick(*board, 400);
    // 85 / 340 = 0.25: interval 400 > 240, never warns.
    EXPECT_EQ(host.CountSound(18), 0);
    board->displayedScore = board->score = -342;  // -342 * 340 / 2 / 400 + 170 = 25 pixels
    Tick(*board, 100);
    ASSERT_EQ(board->barPixels, 25);
    host.sounds.clear();
    const int start = board->updateCount;
    std::vector<int> warnings;
    for (int i = 0; i < 600; ++i) {
        const std::size_t before = host.sounds.size();
        Tick(*board);
        if (host.sounds.size() > before && host.sounds.back().id == 18)
            warnings.push_back(board->updateCount - start);
    }
    ASSERT_GE(warnings.size(), 4u);
    for (std::size_t i = 1; i < warnings.size(); ++i)
        EXPECT_EQ(warnings[i] - warnings[i - 1], 117) << "25 / 340 * 1600";
}

TEST_F(BoardScoringTest, NearlyEmptyTimedBarWarnsEvery80TicksAndBlinks) {
    auto board = MakeBoard(true);
    board->startCountdown = 1000;
    board->levelStartScore = 0;
    board->levelTargetScore = 400;
    board->displayedScore = board->score = -390;  // 5 pixels
    board->barPixels = 5;
    host.sounds.clear();
    Tick(*board, 800);
    EXPECT_EQ(host.CountSound(18), 10);
    bool sawWhite = false, sawColour = false;
    for (int i = 0; i < 16; ++i) {
        Tick(*board);
        (board->barFrame == 24 ? sawWhite : sawColour) = true;
    }
    EXPECT_TRUE(sawWhite);
    EXPECT_TRUE(sawColour);
}

TEST_F(BoardScoringTest, BarWithZeroRangeOrMultiplierDoesNotDivideByZero) {
    for (const bool timed : {false, true}) {
        auto board = MakeBoard(timed);
        board->levelStartScore = board->levelTargetScore = 100;
        board->multiplier = 0.0;
        board->displayedScore = board->score = 100;
        board->state = BoardState::Falling;  // no level end check
        Tick(*board, 5);
        board->ScoreSet(3, 0, 0);
        EXPECT_EQ(board->moveBonusCountdown, 300);
        board->displayedScore = board->score = 150;
        Tick(*board, 200);
        EXPECT_EQ(board->barPixels, 340);
    }
}

TEST_F(BoardScoringTest, EmptyOrNegativeTablePlaysOnWithoutFault) {
    // A missing table leaves every value 0; a negative one gives negative
    // points. The application decides what to do; the board must not fault.
    for (const double multiplier : {0.0, -2.0}) {
        for (const bool timed : {false, true}) {
            FakeBoardHost h(5);
            h.table = DifficultyTable{};
            h.table.normalMultiplierBase = h.table.timedMultiplierBase = multiplier;
            h.table.normalPointsBase = h.table.timedPointsBase = multiplier < 0 ? 100 : 0;
            Board board(h, timed);
            for (int tick = 0; tick < 6000; ++tick) {
                board.Update();
                if (board.state == BoardState::Idle) {
                    SwapMove m;
                    if (board.FindMove(&m, 0, true, true))
                        board.StartSwap(board.grid.At(m.column, m.row),
                                        board.grid.At(m.otherColumn, m.otherRow));
                }
            }
            EXPECT_GE(board.barPixels, 0);
            EXPECT_LE(board.barPixels, 340);
            EXPECT_GE(board.moveBonusCountdown, 0);
            EXPECT_LE(board.moveBonusCountdown, 1200);
        }
    }
}

TEST_F(BoardScoringTest, ScoreRollsUpFasterWhenFarBehind) {
    auto board = MakeBoard();
    board->multiplier = 1.0;
    board->state = BoardState::Falling;
    board->grid.ForEachGem([](Gem& g) { g.y = -1000; });  // stays falling
    board->score = 1000;
    board->displayedScore = 0;
    Tick(*board);
    EXPECT_EQ(board->displayedScore, 3);
    board->displayedScore = 880;  // 120 behind
    Tick(*board);
    EXPECT_EQ(board->displayedScore, 882);
    board->displayedScore = 930;  // 70 behind
    Tick(*board);
    EXPECT_EQ(board->displayedScore, 931);
    board->displayedScore = 990;  // close: one point on even ticks only
    const int before = board->displayedScore;
    Tick(*board, 2);
    EXPECT_EQ(board->displayedScore, before + 1);
    board->displayedScore = 1200;  // ahead after a hint penalty: rolls down
    Tick(*board);
    EXPECT_EQ(board->displayedScore, 1197);
}

TEST_F(BoardScoringTest, HintPenaltyIsFiftyTimesMultiplierButNotBelowZero) {
    auto board = MakeBoard();
    board->multiplier = 1.5;
    board->score = 100;
    board->ShowHint();
    EXPECT_EQ(board->score, 25);
    board->ShowHint();
    EXPECT_EQ(board->score, 0);
}

TEST_F(BoardScoringTest, FullBarStartsLevelUpAndEmptyBarEndsTheGame) {
    auto board = MakeBoard();
    board->levelStartScore = 0;
    board->levelTargetScore = 500;
    board->displayedScore = board->score = 500;
    Tick(*board);
    EXPECT_EQ(board->state, BoardState::LevelUpWhirl);

    auto timed = MakeBoard(true);
    timed->startCountdown = 1000;
    timed->levelStartScore = 0;
    timed->levelTargetScore = 400;
    timed->drain = 400;
    Tick(*timed);
    EXPECT_EQ(timed->state, BoardState::GameOverFall);
    EXPECT_EQ(timed->message.text, "TIME UP!");
    EXPECT_EQ(timed->gameOverDelay, 199) << "the fall's first step follows in the same tick";
}

}  // namespace
}  // namespace Varn
