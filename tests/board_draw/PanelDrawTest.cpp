// The panel readouts and the effects over the board: bonus bar frames,
// score, level number, move bonus, hint flash, floating scores, black hole
// and hole mask.
#include <gtest/gtest.h>

#include <limits>

#include "board/BoardRenderer.h"
#include "tests/board_draw/DrawTestArt.h"
#include "tests/board_draw/DrawTestHost.h"
#include "tests/board_draw/DrawTestPixels.h"

namespace Varn::test {
namespace {

class PanelDrawTest : public ::testing::Test {
protected:
    std::unique_ptr<Board> MakeBoard(bool timed) {
        auto board = std::make_unique<Board>(host, timed);
        LayOut(*board);
        board->SetArt(&art);
        return board;
    }
    // Column 0 and the last drawn column of the bar (at 237, 444; 25 high).
    Color BarStart() { return screen.At(238, 456); }

    DrawTestHost host{5};
    DrawTestArt art;
    TestScreen screen;
};

TEST_F(PanelDrawTest, NormalModeBarIsAlwaysFrame23) {
    auto board = MakeBoard(false);
    board->score = board->levelTargetScore - 1;  // nearly a full bar, no level-up
    for (int tick = 0; tick < 400; ++tick) {
        board->Update();
        screen.Draw(*board);
        ASSERT_EQ(board->barFrame, 23) << "tick " << tick;
        if (board->barPixels > 1) {
            ASSERT_TRUE(ColorNear(BarStart(), TimerBarColor(23)));
        }
    }
    EXPECT_GT(board->barPixels, 300);
    // The bar is cut at barPixels: the next column shows the frame.
    EXPECT_TRUE(ColorNear(screen.At(237 + board->barPixels - 1, 456), TimerBarColor(23)));
    EXPECT_TRUE(ColorNear(screen.At(237 + board->barPixels, 456), kFrameColor));
}

TEST_F(PanelDrawTest, TimedModeBarColourFollowsTheFill) {
    auto board = MakeBoard(true);
    for (int tick = 0; tick < 100; ++tick) board->Update();
    ASSERT_EQ(board->barPixels, 170);  // starts half full
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(BarStart(), TimerBarColor((170 * 24 - 1) / 340)));
    board->barFrame = 24;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(BarStart(), kWhiteBarColor));
}

TEST_F(PanelDrawTest, EmptyBarDrawsNothing) {
    auto board = MakeBoard(false);
    board->barPixels = 0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(BarStart(), kFrameColor));
}

TEST_F(PanelDrawTest, LevelNumberIsBlackAndCentredAt606) {
    auto board = MakeBoard(false);
    board->levelNumber = 12;  // two glyphs: 600 ... 605 and 606 ... 611
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(600, 460), Color::Black));
    EXPECT_TRUE(ColorNear(screen.At(611, 460), Color::Black));
    EXPECT_TRUE(ColorNear(screen.At(599, 460), kFrameColor));
    EXPECT_TRUE(ColorNear(screen.At(612, 460), kFrameColor));
}

TEST_F(PanelDrawTest, MoveBonusFadesWithItsStrength) {
    auto board = MakeBoard(false);
    board->movePoints = 30;  // "+30": 18 wide, left = 91 - 9 - 6 / 3 = 80
    board->moveBonusStrength = 1.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(81, 345), Color::White));
    EXPECT_TRUE(ColorNear(screen.At(79, 345), kFrameColor));
    board->moveBonusStrength = 0.5;
    screen.Draw(*board);
    const Color half = screen.At(81, 345);
    EXPECT_GT(half.red, kFrameColor.red + 30);
    EXPECT_LT(half.red, 200);
    board->moveBonusStrength = 0.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(81, 345), kFrameColor));
}

// The bonus saturates at the largest int: even that stays in the badge's window.
TEST_F(PanelDrawTest, LargestMoveBonusStaysInsideTheHintBadgeWindow) {
    auto board = MakeBoard(false);
    board->movePoints = std::numeric_limits<int>::max();
    board->moveBonusStrength = 1.0;
    screen.Draw(*board);
    int lit[2] = {0, 0};  // outside the window, inside it
    for (int y = 320; y < 360; ++y)
        for (int x = 40; x < 140; ++x)
            lit[x >= 74 && x < 107] += !ColorNear(screen.At(x, y), kFrameColor);
    EXPECT_EQ(lit[0], 0);
    EXPECT_GT(lit[1], 60);
}

TEST_F(PanelDrawTest, HintFlashLightsTheHintButton) {
    auto board = MakeBoard(false);
    board->hintFlashStrength = 1.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(65, 304), kHintColor));
    board->hintFlashStrength = 0.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(65, 304), kFrameColor));
}

TEST_F(PanelDrawTest, ScorePopupsUseTheFadedFontOfTheirStage) {
    auto board = MakeBoard(false);
    board->scorePopups.push_back(ScorePopup{300, 100, 100, -1, 5});
    board->scorePopups.push_back(ScorePopup{450, 100, 10, 3, 5});
    screen.Draw(*board);
    // One glyph centred on x with its baseline at y + ascent / 2 = 105.
    EXPECT_TRUE(ColorNear(screen.At(300, 100), Color::White));
    EXPECT_TRUE(ColorNear(screen.At(450, 100), FadedDigitColor(3)));
    EXPECT_FALSE(ColorNear(screen.At(300, 108), Color::White));
}

TEST_F(PanelDrawTest, BlackHoleAndHoleMaskShowDuringTheWhirl) {
    auto board = MakeBoard(false);
    board->grid.Clear();
    board->whirlpoolVolume = 1.0;
    board->blackHoleFrame = 4;
    screen.Draw(*board);
    // The mask (100 x 60) is centred on (406, 219), the black hole's cell around it.
    EXPECT_TRUE(ColorNear(screen.At(406, 219), kHoleMaskColor));
    EXPECT_TRUE(ColorNear(screen.At(406, 100), BlackHoleColor(4)));
    board->whirlpoolVolume = 0.0;
    screen.Draw(*board);
    EXPECT_FALSE(ColorNear(screen.At(406, 100), BlackHoleColor(4), 20));
}

}  // namespace
}  // namespace Varn::test
