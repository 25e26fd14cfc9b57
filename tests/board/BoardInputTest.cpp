// Input: selecting, click-to-swap with aiming, drag-to-swap, right click,
// the pause key, hover glow and the hint.
#include <gtest/gtest.h>

#include "FakeBoardHost.h"

namespace Varn {
namespace {

using test::CenterX;
using test::CenterY;
using test::FakeBoardHost;
using test::LayOut;
using test::Tick;

class BoardInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        board = std::make_unique<Board>(host, false);
        LayOut(*board, {"........", "........", "........", "........", "...6....", ".66....."});
        board->updateCount = 1000;  // past the start announcement
        host.sounds.clear();
    }
    void Click(int column, int row, int code = 1) {
        board->MouseDown(CenterX(column), CenterY(row), code);
    }
    FakeBoardHost host{21};
    std::unique_ptr<Board> board;
};

TEST_F(BoardInputTest, ClickSelectsAGemWithThePannedSelectSound) {
    Click(7, 2);
    EXPECT_EQ(board->selected, board->grid.At(7, 2));
    ASSERT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(host.sounds[0].id, 11);
    EXPECT_EQ(host.sounds[0].pan, PanForX(ColumnX(7) + 24));
    EXPECT_GT(host.sounds[0].pan, 600);
}

TEST_F(BoardInputTest, SecondClickOnTheSameGemDeselects) {
    Click(2, 2);
    Click(2, 2);
    EXPECT_EQ(board->selected, nullptr);
    EXPECT_EQ(board->state, BoardState::Idle);
}

TEST_F(BoardInputTest, ClickOnANeighbourSwapsAndOnAFarGemRefuses) {
    Click(3, 5);
    Click(3, 4);
    EXPECT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->selected, nullptr);
    EXPECT_EQ(board->swapA, board->grid.At(3, 5));

    SetUp();
    Click(0, 0);
    Click(5, 5);
    EXPECT_EQ(board->state, BoardState::Idle);
    EXPECT_EQ(board->selected, nullptr);
    EXPECT_EQ(host.CountSound(7), 1);
}

TEST_F(BoardInputTest, ClickNearTheSelectedGemAimsAtTheNeighbour) {
    Click(3, 3);
    // 80 pixels to the right, 20 down: past the next gem's centre but aimed.
    board->MouseDown(CenterX(3) + 80, CenterY(3) + 20, 1);
    ASSERT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->swapB, board->grid.At(4, 3));

    SetUp();
    Click(3, 3);
    board->MouseDown(CenterX(3) + 25, CenterY(3) + 25, 1);  // a tie goes down
    ASSERT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->swapB, board->grid.At(3, 4));

    SetUp();
    Click(3, 3);
    board->MouseDown(CenterX(3) + 10, CenterY(3), 1);  // inside the gem: deselect
    EXPECT_EQ(board->state, BoardState::Idle);
    EXPECT_EQ(board->selected, nullptr);
}

TEST_F(BoardInputTest, SelectionDuringFallingStaysUntilIdle) {
    board->state = BoardState::Falling;
    board->grid.ForEachGem([](Gem& g) { g.y = RowY(g.row); });
    Click(3, 5);
    EXPECT_EQ(board->selected, board->grid.At(3, 5));
    Click(3, 4);
    EXPECT_EQ(board->selected, board->grid.At(3, 5)) << "not Idle: the selection stays";
    EXPECT_EQ(board->state, BoardState::Falling);
}

TEST_F(BoardInputTest, RightClickDropsTheSelectionExceptInTheFourBlockedStates) {
    Click(2, 2);
    Click(2, 2, -1);
    EXPECT_EQ(board->selected, nullptr);
    for (BoardState blocked : {BoardState::GameOverFall, BoardState::GameOverShown,
                               BoardState::LevelUpWhirl, BoardState::NewLevelWipe}) {
        board->state = BoardState::Idle;
        Click(2, 2);
        board->state = blocked;
        Click(2, 2, -1);
        EXPECT_NE(board->selected, nullptr);
        board->selected = nullptr;
        Click(4, 4);
        EXPECT_EQ(board->selected, nullptr) << "no selection either";
    }
}

TEST_F(BoardInputTest, DragOfSixteenPixelsSwapsWithTheNeighbour) {
    Click(3, 5);
    board->MouseDrag(CenterX(3) + 5, CenterY(5) - 15);
    EXPECT_EQ(board->state, BoardState::Idle) << "below the threshold";
    EXPECT_NE(board->selected, nullptr);
    board->MouseDrag(CenterX(3) + 5, CenterY(5) - 16);
    ASSERT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->swapB, board->grid.At(3, 4));
    EXPECT_EQ(board->selected, nullptr);
    board->MouseDrag(CenterX(3) + 5, CenterY(5) - 60);
    EXPECT_EQ(board->swapB, board->grid.At(3, 4)) << "one drag, one swap";
}

TEST_F(BoardInputTest, DragOffTheBoardEdgeOnlyDropsTheSelection) {
    Click(7, 2);
    board->MouseDrag(CenterX(7) + 20, CenterY(2));
    EXPECT_EQ(board->state, BoardState::Idle);
    EXPECT_EQ(board->selected, nullptr);
    EXPECT_EQ(host.CountSound(7), 0);
}

TEST_F(BoardInputTest, DiagonalDragOfEqualDistancesIsVertical) {
    Click(2, 2);
    board->MouseDrag(CenterX(2) + 20, CenterY(2) + 20);
    ASSERT_EQ(board->state, BoardState::Swapping);
    EXPECT_EQ(board->swapB, board->grid.At(2, 3));
}

TEST_F(BoardInputTest, PressWhileAnotherGemIsSelectedIsAClickNotADrag) {
    Click(0, 0);
    Click(6, 6);  // not a neighbour: refused, deselected
    board->MouseDrag(CenterX(6) + 30, CenterY(6));
    EXPECT_EQ(board->state, BoardState::Idle);
}

TEST_F(BoardInputTest, AnyCharacterPausesAndResumesAndAClickOnlyResumes) {
    board->KeyChar('p');
    EXPECT_EQ(board->playerPauseCount, 1);
    EXPECT_TRUE(board->IsPaused());
    Click(2, 2);
    EXPECT_EQ(board->playerPauseCount, 0);
    EXPECT_EQ(board->selected, nullptr) << "the click only resumed";
    board->KeyChar(' ');
    board->KeyChar('x');
    EXPECT_FALSE(board->IsPaused());
    board->state = BoardState::GameOverFall;
    board->KeyChar('q');
    EXPECT_TRUE(board->IsPaused()) << "works in every state";
}

TEST_F(BoardInputTest, HoverGlowsTheGemUnderThePointerWhileIdle) {
    board->MouseMove(CenterX(5), CenterY(1));
    Tick(*board, 10);
    Gem* gem = board->grid.At(5, 1);
    EXPECT_TRUE(gem->glowing);
    EXPECT_GT(gem->glow, 0.3);
    board->MouseLeave();
    EXPECT_EQ(board->mouseX, -1);
    Tick(*board, 200);
    EXPECT_FALSE(gem->glowing) << "the glow fades once the pointer leaves";
}

TEST_F(BoardInputTest, HintSparklesAndSpinsTheFirstMovesGemEvenAtACost) {
    board->score = 500;
    board->ShowHint();
    EXPECT_EQ(board->score, 450);
    Gem* gem = board->grid.At(3, 5);
    EXPECT_EQ(gem->sparkleCountdown, 58);
    EXPECT_EQ(gem->spinFrame, 1);
    EXPECT_EQ(board->idleTicks, 0);
    Tick(*board, 45);
    EXPECT_EQ(gem->spinFrame, 0) << "one turn of 15 frames, 3 ticks each";
    EXPECT_EQ(gem->sparkleCountdown, 58 - 9);

    board->state = BoardState::Falling;
    board->ShowHint();
    EXPECT_EQ(board->score, 450) << "only while Idle";
}

}  // namespace
}  // namespace Varn
