// Gems and what is drawn with them: spin frames, the glow cross-fade, the
// shrunk vanishing frames, the clip to the board area, sparkles, cursors,
// start-tip arrows and hiding the gems while the player pauses.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "board/BoardRenderer.h"
#include "tests/board_draw/DrawTestArt.h"
#include "tests/board_draw/DrawTestHost.h"
#include "tests/board_draw/DrawTestPixels.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

class GemDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        board = std::make_unique<Board>(host, false);
        LayOut(*board);
        board->SetArt(&art);
    }
    Gem& GemIn(int column, int row) { return *board->grid.At(column, row); }
    // A pixel well inside the gem's 49 x 49 square.
    Color GemPixel(const Gem& gem, int dx = 24, int dy = 24) {
        return screen.At(static_cast<int>(gem.x) + dx, static_cast<int>(gem.y) + dy);
    }

    DrawTestHost host{11};
    DrawTestArt art;
    TestScreen screen;
    std::unique_ptr<Board> board;
};

TEST_F(GemDrawTest, RestingGemShowsItsKindsFirstFrame) {
    screen.Draw(*board);
    const Gem& gem = GemIn(2, 3);
    EXPECT_TRUE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 0)));
    EXPECT_TRUE(ColorNear(GemPixel(gem, 0, 0), SpinColor(gem.kind, 0)));
    EXPECT_TRUE(ColorNear(GemPixel(gem, 48, 48), SpinColor(gem.kind, 0)));
}

TEST_F(GemDrawTest, CallersTintAndModeDoNotLeakIntoTheBoard) {
    Graphics g(screen.image.get());
    g.SetColor(Color(255, 0, 0, 40));
    g.SetColorizeImages(true);
    g.SetDrawMode(DrawMode::Additive);
    board->Draw(&g);
    const Gem& gem = GemIn(2, 3);
    EXPECT_TRUE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 0)));
    EXPECT_TRUE(g.GetColorizeImages());  // the caller's context is left as it was
}

TEST_F(GemDrawTest, SpinningGemShowsItsSpinFrame) {
    Gem& gem = GemIn(4, 4);
    gem.spinFrame = 9;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 9)));
}

TEST_F(GemDrawTest, GlowingGemCrossFadesPlainAndGlowFrames) {
    Gem& gem = GemIn(1, 1);
    gem.glowing = true;
    gem.glow = 0.5;  // weight 128
    gem.glowFrame = 6;
    screen.Draw(*board);
    const Color plain = SpinColor(gem.kind, 0);
    const Color mixed((plain.red + kGlowColor.red) / 2, (plain.green + kGlowColor.green) / 2,
                      (plain.blue + kGlowColor.blue) / 2);
    EXPECT_TRUE(ColorNear(GemPixel(gem), mixed));
    gem.glow = 1.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(GemPixel(gem), kGlowColor));
}

TEST_F(GemDrawTest, SpinningGemIsNeverDrawnWithItsGlow) {
    Gem& gem = GemIn(1, 1);
    gem.glowing = true;
    gem.glow = 1.0;
    gem.spinFrame = 3;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 3)));
}

TEST_F(GemDrawTest, VanishingGemIsDrawnFromTheShrunkImagesWhateverItsSpinOrGlow) {
    Gem& gem = GemIn(5, 2);
    gem.vanishing = true;
    gem.vanishFrame = 2;  // 29 x 29, centred
    gem.spinFrame = 4;
    gem.glowing = true;
    gem.glow = 1.0;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(GemPixel(gem), ShrunkColor(2)));
    EXPECT_TRUE(ColorNear(GemPixel(gem, 10, 10), ShrunkColor(2)));
    // Outside the shrunk square the board shows through: no sheet colour.
    const Color corner = GemPixel(gem, 2, 2);
    EXPECT_FALSE(ColorNear(corner, SpinColor(gem.kind, 4), 20));
    EXPECT_FALSE(ColorNear(corner, ShrunkColor(2), 20));
}

TEST_F(GemDrawTest, GemsAreClippedToTheBoardArea) {
    Gem& gem = GemIn(0, 0);
    gem.y = -30;  // falling in from above
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(static_cast<int>(gem.x) + 10, 12), SpinColor(gem.kind, 0)));
    EXPECT_TRUE(ColorNear(screen.At(static_cast<int>(gem.x) + 10, 11), kFrameColor));
}

TEST_F(GemDrawTest, PlayerPauseHidesTheGemsButNotThePanel) {
    board->displayedScore = 8;
    board->playerPauseCount = 1;
    board->pauseCount = 1;
    screen.Draw(*board);
    const Gem& gem = GemIn(3, 3);
    EXPECT_FALSE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 0), 20));
    // The score "8" is centred on x 93 with its baseline at 106.
    EXPECT_TRUE(ColorNear(screen.At(93 - kGlyphWidth / 2 + 1, 100), Color(173, 231, 255)));
}

TEST_F(GemDrawTest, PauseTextsShowOnlyWithKeyboardFocus) {
    board->playerPauseCount = 1;
    board->pauseCount = 1;
    const std::string first = "*** GAME PAUSED ***";
    const int left = 406 - art.TitleFont()->StringWidth(first) / 2;
    const int baseline = 219 - kFontHeight / 2;
    screen.Draw(*board);
    EXPECT_FALSE(ColorNear(screen.At(left + 1, baseline - 2), Color::White));
    board->hasFocus = true;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(left + 1, baseline - 2), Color::White));
    // "Click Here to Continue!" one line height below the centre.
    EXPECT_TRUE(ColorNear(screen.At(406, 219 + kFontHeight - 2), Color::White));
}

TEST_F(GemDrawTest, ModalPauseKeepsTheGemsVisible) {
    board->pauseCount = 1;  // a dialog in normal mode, not the player
    screen.Draw(*board);
    const Gem& gem = GemIn(3, 3);
    EXPECT_TRUE(ColorNear(GemPixel(gem), SpinColor(gem.kind, 0)));
}

TEST_F(GemDrawTest, SelectedGemAndSwapPairGetTheCursorFrame) {
    board->selected = &GemIn(2, 2);
    board->selectionCounter = 8;  // frame 8 mod 6 = 2
    board->swapA = &GemIn(6, 6);
    screen.Draw(*board);
    // The 52 x 52 cursor stands 2 pixels up and left of the gem, over it.
    EXPECT_TRUE(ColorNear(GemPixel(GemIn(2, 2), -2, -2), CursorColor(2)));
    EXPECT_TRUE(ColorNear(GemPixel(GemIn(2, 2)), CursorColor(2)));
    EXPECT_TRUE(ColorNear(GemPixel(GemIn(6, 6), 49, 49), CursorColor(2)));
    EXPECT_TRUE(ColorNear(GemPixel(GemIn(4, 4)), SpinColor(GemIn(4, 4).kind, 0)));
}

TEST_F(GemDrawTest, SparklesFollowTheirCountdownAndFrame) {
    Gem& gem = GemIn(3, 5);
    gem.sparkleCountdown = 20;
    gem.sparkleFrame = 3;
    screen.Draw(*board);
    // First sparkle only: at (x + 13, y - 7), 40 x 40.
    EXPECT_TRUE(ColorNear(GemPixel(gem, 14, -6), kSparkleColor));
    EXPECT_FALSE(ColorNear(GemPixel(gem, -9, 40), kSparkleColor));
    // Later: the second one at (x - 10, y + 3) and the third at (x + 5, y + 19).
    gem.sparkleCountdown = 10;
    gem.sparkleFrame = 16;
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(GemPixel(gem, -9, 40), kSparkleColor));
    EXPECT_TRUE(ColorNear(GemPixel(gem, 6, 58), kSparkleColor));
}

TEST_F(GemDrawTest, StartTipPointerMovesToTheRightGemOnceTheLeftOneIsSelected) {
    board->tutorialMove = TutorialMove{2, 5, 3};
    board->tutorialArrows = true;
    board->arrowOffset = 1;
    screen.Draw(*board);
    // The arrow under the pair and the pointer over the left gem.
    EXPECT_TRUE(ColorNear(screen.At(ColumnX(2) + 4, RowY(5) + 39), kSwapper1Color));
    EXPECT_TRUE(ColorNear(screen.At(ColumnX(2) - 4, RowY(5) - 40), kSwapper2Color));
    EXPECT_FALSE(ColorNear(screen.At(ColumnX(3) - 4, RowY(5) - 40), kSwapper2Color));
    board->selected = &GemIn(2, 5);
    screen.Draw(*board);
    EXPECT_TRUE(ColorNear(screen.At(ColumnX(3) - 4, RowY(5) - 40), kSwapper2Color));
}

struct QuietWidgetHost : WidgetHost {
    void SetCursorKind(int) override {}
    void CopyToClipboard(const std::string&) override {}
    std::string GetClipboardText() override { return {}; }
    void SafeDelete(Widget*) override {}
    ButtonListener* GetButtonListener() override { return nullptr; }
};

// Ticks the board after a whole first draw: the drawing pass redraws only an area, and
// the screen ends up as a whole redraw over the same screen would leave it. Where the
// board's own picture is not quite opaque (its frame's rounded corners) each redraw
// blends over the last one, so there a redraw more or less may differ by one step.
void ExpectOnlyAnAreaRedrawnLikeAWholeRedraw(Board& board, TestScreen& screen, int ticks) {
    QuietWidgetHost widgetHost;
    WidgetManager manager(&widgetHost);
    manager.SetScreenImage(screen.image.get());
    manager.AddWidget(&board);
    manager.DrawScreen();
    const std::vector<uint32_t> before(screen.image->GetBits(),
                                       screen.image->GetBits() + 640 * 480);
    for (int tick = 0; tick < ticks; ++tick) {
        board.Update();
        EXPECT_FALSE(board.dirty) << "tick " << tick;
        manager.DrawScreen();
    }
    TestScreen whole;
    whole.image->SetBits(before.data(), 640, 480);
    whole.Draw(board);
    int changed = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            ASSERT_TRUE(ColorNear(screen.At(x, y), whole.At(x, y), 1)) << x << "," << y;
            changed += screen.image->GetBits()[y * 640 + x] != before[size_t(y) * 640 + x];
        }
    EXPECT_GT(changed, 0);
    manager.RemoveWidget(&board);
}

// The start tip's pointer bobs while nobody plays.
TEST_F(GemDrawTest, ArrowStepRedrawsOnlyThePointerYetMatchesAWholeRedraw) {
    board->tutorialMove = TutorialMove{2, 5, 3};
    board->tutorialArrows = true;
    ExpectOnlyAnAreaRedrawnLikeAWholeRedraw(*board, screen, 4);
}

// Two neighbours in the first column whose swap makes no run: the swap goes there and back.
void StartRefusedSwap(Board& board) {
    for (int row = 0; row + 1 < 8; ++row) {
        Gem* a = board.grid.At(0, row);
        Gem* b = board.grid.At(0, row + 1);
        std::swap(a->kind, b->kind);
        const bool run = board.grid.HasRun();
        std::swap(a->kind, b->kind);
        if (!run) return board.StartSwap(a, b);
    }
    FAIL() << "every swap in the first column makes a run";
}

// A gem's glow under the pointer, a selected gem's spin and cursor, its hint sparkles,
// and a swap and its swap-back redraw only the cells they cover; the panel's readouts
// and the bonus bar only their own places.
TEST_F(GemDrawTest, AnimationsRedrawOnlyWhatTheyCoverYetMatchAWholeRedraw) {
    struct Case {
        const char* name;
        std::function<void(Board&)> start;
        int ticks;
    };
    const Case cases[] = {
        {"glow", [](Board& b) { b.MouseMove(ColumnX(3) + 20, RowY(4) + 20); }, 40},
        {"selection", [](Board& b) { b.selected = b.grid.At(5, 2); }, 40},
        {"sparkles", [](Board& b) { b.grid.At(1, 6)->sparkleCountdown = 20; }, 60},
        {"refused swap", [](Board& b) { StartRefusedSwap(b); }, 80},
        {"move bonus",
         [](Board& b) {
             b.movePoints = 1250;
             b.moveBonusCountdown = 120;
         },
         80},
        {"score roll", [](Board& b) { b.score += 900; }, 60},
        {"bonus bar", [](Board& b) { b.barPixels = 90; }, 60},
        {"score popups",
         [](Board& b) {
             b.scorePopups.push_back(ScorePopup{ColumnX(2), RowY(3), 40, -1, 250});
             b.scorePopups.push_back(ScorePopup{ColumnX(6), RowY(5), 25, -1, 1500});
         },
         45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.start(*board);
        ExpectOnlyAnAreaRedrawnLikeAWholeRedraw(*board, screen, c.ticks);
    }
}

TEST_F(GemDrawTest, GameOverThrowsGemsFarAwayWithoutHarm) {
    Gem& gem = GemIn(0, 0);
    gem.x = 1e300;
    gem.y = -1e300;
    GemIn(1, 0).x = std::numeric_limits<double>::quiet_NaN();
    GemIn(2, 0).kind = 99;
    GemIn(3, 0).spinFrame = 40;
    screen.Draw(*board);
    // The broken gems draw nothing; the others as usual.
    EXPECT_TRUE(ColorNear(GemPixel(GemIn(4, 4)), SpinColor(GemIn(4, 4).kind, 0)));
    EXPECT_FALSE(ColorNear(GemPixel(GemIn(3, 0)), SpinColor(GemIn(3, 0).kind, 0), 20));
}

}  // namespace
}  // namespace Varn::test
