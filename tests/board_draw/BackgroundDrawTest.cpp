// The level background: texture and tint per level, the checkerboard's
// placement, the screen frame over it, the wipe that reveals a new level and
// the electric line in its band.
#include <gtest/gtest.h>

#include "board/BoardBackground.h"
#include "board/BoardRenderer.h"
#include "tests/board_draw/DrawTestArt.h"
#include "tests/board_draw/DrawTestHost.h"
#include "tests/board_draw/DrawTestPixels.h"

namespace Varn::test {
namespace {

// Square (row i, column j) of the checkerboard; its centre pixel.
int SquareCenterX(int j) {
    return 51 * j + 202 + 25;
}
int SquareCenterY(int i) {
    return 51 * i + 16 + 25;
}

class BackgroundDrawTest : public ::testing::Test {
protected:
    DrawTestHost host{7};
    DrawTestArt art;
    TestScreen screen;

    // A board with no gems, so that only the background shows.
    std::unique_ptr<Board> EmptyBoard(bool timed = false) {
        auto board = std::make_unique<Board>(host, timed);
        board->grid.Clear();
        board->state = BoardState::Idle;
        return board;
    }
};

TEST(LevelLookTest, TextureCyclesByFiveAndTintByFour) {
    struct Case {
        int level;
        int texture;
        Color tint;
    };
    for (const Case& c :
         {Case{0, 0, kBrown}, Case{1, 1, kRed}, Case{2, 2, kGreen}, Case{3, 3, kBlue},
          Case{4, 4, kBrown}, Case{5, 0, kRed}, Case{19, 4, kBlue}, Case{20, 0, kBrown}}) {
        const LevelLook look = LevelLookFor(c.level);
        EXPECT_EQ(look.texture, c.texture) << "level " << c.level;
        EXPECT_EQ(look.tint, c.tint) << "level " << c.level;
    }
}

TEST_F(BackgroundDrawTest, FirstLevelShowsTextureZeroInBrown) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    screen.Draw(*board);
    // Light squares where row + column is even, dark ones where it is odd.
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(0)), Tinted(LightGrey(0), kBrown)));
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(1), SquareCenterY(0)), Tinted(DarkGrey(0), kBrown)));
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(7), SquareCenterY(7)), Tinted(LightGrey(0), kBrown)));
    // Squares start one pixel left of the gems: column 0's square begins at 202.
    EXPECT_TRUE(ColorNear(screen.At(202, SquareCenterY(0)), Tinted(LightGrey(0), kBrown)));
    EXPECT_TRUE(ColorNear(screen.At(201, SquareCenterY(0)), Tinted(DarkGrey(0), kBrown)));
    // The frame covers everything outside the board area.
    EXPECT_TRUE(ColorNear(screen.At(100, 200), kFrameColor));
    EXPECT_TRUE(ColorNear(screen.At(400, 450), kFrameColor));
}

TEST_F(BackgroundDrawTest, FifthLevelUsesTextureFourInBrownAgain) {
    MemoryImage background(nullptr);
    BuildLevelBackground(background, 4, art);
    EXPECT_TRUE(ColorNear(Color(background.GetBits()[SquareCenterY(2) * 640 + SquareCenterX(2)]),
                          Tinted(LightGrey(4), kBrown)));
}

TEST_F(BackgroundDrawTest, BackgroundIsOpaqueEvenWhereNothingCoversIt) {
    art.images[BoardImage::kScreenFrame].reset();
    MemoryImage background(nullptr);
    BuildLevelBackground(background, 0, art);
    EXPECT_EQ(Color(background.GetBits()[0]), Color::Black);  // above the squares
    EXPECT_EQ(Color(background.GetBits()[SquareCenterY(0) * 640 + SquareCenterX(0)]).alpha, 255);
    background.CommitBits();
    EXPECT_FALSE(background.HasTrans());
    EXPECT_FALSE(background.HasAlpha());
}

TEST_F(BackgroundDrawTest, SixthLevelIsRedWithTextureZeroAfterTheWipe) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    screen.Draw(*board);
    // The level-up whirl has set up level index 5 and the wipe has passed the bottom.
    board->level = 5;
    board->state = BoardState::NewLevelWipe;
    board->wipeLine = 483;
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(3), SquareCenterY(5)), Tinted(LightGrey(0), kRed)));
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(4), SquareCenterY(5)), Tinted(DarkGrey(0), kRed)));
}

TEST_F(BackgroundDrawTest, WipeRevealsTheNewLevelDownToTheLine) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    screen.Draw(*board);
    board->level = 1;
    board->state = BoardState::NewLevelWipe;
    board->wipeLine = 150;
    board->wipeJitter = 0;
    screen.Draw(*board);
    // Above the band: level 1 (texture 1, red); below it: still level 0.
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(0)), Tinted(LightGrey(1), kRed)));
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(6)), Tinted(LightGrey(0), kBrown)));
    // Later draws keep revealing from where the last one stopped.
    board->wipeLine = 483;
    board->state = BoardState::NewLevelWipe;
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(6)), Tinted(LightGrey(1), kRed)));
}

TEST_F(BackgroundDrawTest, WipeBandShowsTheElectricLineOnlyOverTheBoardArea) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    board->level = 1;
    board->state = BoardState::NewLevelWipe;
    board->wipeLine = 240;
    board->wipeJitter = 37;
    screen.Draw(*board);
    // Inside the band (8 pixels above and below the line) over the board area.
    EXPECT_TRUE(ColorNear(screen.At(300, 232), kElectricColor));
    EXPECT_TRUE(ColorNear(screen.At(600, 247), kElectricColor));
    // Outside the band the squares show.
    EXPECT_TRUE(ColorNear(screen.At(SquareCenterX(2), 231), Tinted(LightGrey(1), kRed)));
    EXPECT_FALSE(ColorNear(screen.At(300, 248), kElectricColor));
    // The frame is drawn again inside the band, over the line.
    EXPECT_TRUE(ColorNear(screen.At(100, 240), kFrameColor));
    EXPECT_TRUE(ColorNear(screen.At(630, 240), kFrameColor));
}

TEST_F(BackgroundDrawTest, LevelChangedByALoadedGameKeepsTheBackground) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    screen.Draw(*board);
    board->level = 3;  // as a saved game of a later level sets it
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(0)), Tinted(LightGrey(0), kBrown)));
    EXPECT_EQ(board->renderer->BackgroundLevel(), 0);
}

TEST_F(BackgroundDrawTest, LevelUpFinishedBetweenDrawsStillChangesTheBackground) {
    auto board = EmptyBoard();
    board->SetArt(&art);
    board->state = BoardState::LevelUpWhirl;
    screen.Draw(*board);
    // The whirl ended and the whole wipe ran without a draw in between.
    board->level = 2;
    board->state = BoardState::Falling;
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(0), SquareCenterY(7)), Tinted(DarkGrey(2), kGreen)));
}

TEST_F(BackgroundDrawTest, RealWhirlAndWipeEndOnTheNextLevelsBackground) {
    auto board = std::make_unique<Board>(host, false);
    LayOut(*board);
    board->SetArt(&art);
    board->StartLevelUp();
    int ticks = 0;
    while (board->state != BoardState::Falling && ticks++ < 5000) {
        board->Update();
        if (ticks % 5 == 0) screen.Draw(*board);
    }
    ASSERT_EQ(board->state, BoardState::Falling);
    EXPECT_EQ(board->level, 1);
    board->grid.Clear();
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(1), SquareCenterY(7)), Tinted(LightGrey(1), kRed)));
}

TEST_F(BackgroundDrawTest, LoadedLaterLevelKeepsItsBackgroundThroughTheWhirlUntilTheWipe) {
    auto board = std::make_unique<Board>(host, false);
    LayOut(*board);
    board->SetArt(&art);
    screen.Draw(*board);
    board->level = 3;  // a continued game of the fourth level
    board->StartLevelUp();
    int ticks = 0;
    while (board->state == BoardState::LevelUpWhirl && ticks++ < 5000) {
        board->Update();
        screen.Draw(*board);
        if (board->state == BoardState::LevelUpWhirl) {
            ASSERT_EQ(board->renderer->BackgroundLevel(), 0) << "tick " << ticks;
        }
    }
    while (board->state != BoardState::Falling && ticks++ < 10000) {
        board->Update();
        screen.Draw(*board);
    }
    ASSERT_EQ(board->state, BoardState::Falling);
    EXPECT_EQ(board->renderer->BackgroundLevel(), 4);
    board->grid.Clear();
    screen.Draw(*board);
    EXPECT_TRUE(
        ColorNear(screen.At(SquareCenterX(1), SquareCenterY(7)), Tinted(LightGrey(4), kBrown)));
}

TEST_F(BackgroundDrawTest, MissingArtDrawsNothingAndDoesNotFail) {
    art.present = false;
    auto board = std::make_unique<Board>(host, true);
    board->SetArt(&art);
    board->ShowMessage("GO!", 250);
    board->whirlpoolVolume = 0.5;
    board->hintFlashStrength = 0.5;
    board->moveBonusStrength = 0.5;
    board->barPixels = 170;
    board->scorePopups.push_back(ScorePopup{300, 200, 50, 2, 10});
    board->state = BoardState::NewLevelWipe;
    board->wipeLine = 100;
    screen.Draw(*board);
    EXPECT_EQ(screen.At(300, 200), Color::Black);
    EXPECT_EQ(screen.At(10, 10), Color::Black);
}

TEST_F(BackgroundDrawTest, BoardWithoutArtDrawsNothing) {
    auto board = EmptyBoard();
    screen.Draw(*board);
    EXPECT_EQ(screen.At(SquareCenterX(0), SquareCenterY(0)), Color::Black);
}

}  // namespace
}  // namespace Varn::test
