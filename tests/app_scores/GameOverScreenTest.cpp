// The game-over screen in the running application: the slide and the one
// result report, the play-again link, the rainbow, the statistics format,
// the final board below the panel, and the file written when it goes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/HighScoresFile.h"
#include "app/OptionsDialog.h"
#include "board/ImageColor.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/app_scores/GameFixture.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"

namespace Varn::test {
namespace {

using GameOverScreenTest = GameFixture;

TEST_F(GameOverScreenTest, PanelArrivesAfter60UpdatesAndAsksForANameOnce) {
    StartGame();
    HighScoreWidget* screen = EndGame(850);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->slideOffset, -480);
    UpdateScreen(screen, 59);
    EXPECT_EQ(screen->slideOffset, -8);
    EXPECT_EQ(app->GetDialog(8), nullptr);
    UpdateScreen(screen, 1);
    EXPECT_EQ(screen->slideOffset, 0);
    Dialog* dialog = app->GetDialog(8);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->header, "High Score");
    EXPECT_EQ(dialog->body, "You got the highest score of\nthe day and 3rd place\nof all time!");
    EXPECT_EQ(dialog->GetRect(), Rect(250, 32, 316, dialog->GetPreferredHeight(316)));

    app->ButtonClicked(3008);  // CANCEL
    FinishPass();
    UpdateScreen(screen, 300);
    screen->Resize(0, 0, 640, 480);  // even a second slide asks no second time
    UpdateScreen(screen, 100);
    EXPECT_EQ(screen->slideOffset, 0);
    EXPECT_EQ(app->GetDialog(8), nullptr);
}

TEST_F(GameOverScreenTest, ScoreThatEarnsNothingOpensNoDialog) {
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    UpdateScreen(screen, 80);
    EXPECT_EQ(screen->slideOffset, 0);
    EXPECT_TRUE(screen->resultReported);
    EXPECT_EQ(app->GetDialog(8), nullptr);
}

TEST_F(GameOverScreenTest, TimedGameIsJudgedAgainstTheTimedTable) {
    WriteHighScoreFile(
        HighScorePath().string(),
        [] {
            HighScoreTables tables;
            tables.Mode(HighScoreTables::kTimedMode).today = {"Ann", 5000};
            return tables;
        }(),
        CurrentDayNumber());
    StartGame();
    HighScoreWidget* screen = EndGame(950, true);
    UpdateScreen(screen, 60);
    ASSERT_NE(app->GetDialog(8), nullptr);
    EXPECT_EQ(app->GetDialog(8)->body, "You got 2nd place of all time!");
}

TEST_F(GameOverScreenTest, PlayAgainLinkMovesWithThePanelAndRests) {
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    HyperlinkWidget* link = screen->GetPlayAgainLink();
    EXPECT_EQ(link->label, "CLICK HERE TO PLAY AGAIN");
    UpdateScreen(screen, 10);
    EXPECT_EQ(link->GetRect(), Rect(265, -480 + 80 + 389, 286, 23));
    UpdateScreen(screen, 50);
    EXPECT_EQ(link->GetRect(), Rect(265, 389, 286, 23));
    EXPECT_TRUE(app->GetWidgetManager()->HasWidget(link));
}

TEST_F(GameOverScreenTest, PlayAgainStartsANewBoardAndWritesTheFile) {
    StartGame();
    Board* oldBoard = app->GetBoard();
    HighScoreWidget* screen = EndGame(850);
    UpdateScreen(screen, 60);
    app->ButtonClicked(2008);  // OK with the empty remembered name: nothing recorded
    FinishPass();
    EXPECT_FALSE(std::filesystem::exists(HighScorePath()));
    ClickCentreOf(screen->GetPlayAgainLink());
    FinishPass();
    EXPECT_EQ(app->GetGameOverScreen(), nullptr);
    EXPECT_NE(app->GetBoard(), oldBoard);
    EXPECT_EQ(ReadHighScoreFile(HighScorePath().string(), CurrentDayNumber()), HighScoreTables());
}

// New Game, a mode button or "play again" during the slide: the earned
// score is asked for first, and the new game follows the answer.
TEST_F(GameOverScreenTest, LeavingDuringTheSlideStillAsksForTheNameFirst) {
    constexpr int kPlayAgain = -1;
    for (const int button : {10, 12, kPlayAgain}) {
        SCOPED_TRACE(button);
        app.reset();
        std::filesystem::remove(HighScorePath());
        StartGame();
        Board* oldBoard = app->GetBoard();
        HighScoreWidget* screen = EndGame(850);
        UpdateScreen(screen, 20);  // the panel is still on its way
        ASSERT_EQ(app->GetDialog(8), nullptr);
        if (button == kPlayAgain)
            ClickCentreOf(screen->GetPlayAgainLink());
        else
            app->ButtonClicked(button);
        FinishPass();
        ASSERT_NE(app->GetDialog(8), nullptr) << "the name is asked for";
        EXPECT_EQ(app->GetGameOverScreen(), screen);
        EXPECT_EQ(app->GetBoard(), oldBoard);
        for (char c : std::string("Ann")) app->GetWidgetManager()->KeyChar(c);
        app->ButtonClicked(2008);  // OK
        FinishPass();
        EXPECT_EQ(app->GetGameOverScreen(), nullptr);
        ASSERT_NE(app->GetBoard(), oldBoard);
        EXPECT_EQ(app->GetBoard()->timedMode, button == 12);
        const HighScoreTables written =
            ReadHighScoreFile(HighScorePath().string(), CurrentDayNumber());
        EXPECT_EQ(written.Mode(HighScoreTables::kNormalMode).today, (HighScoreEntry{"Ann", 850}));
    }
}

TEST_F(GameOverScreenTest, RainbowStepsEveryTenUpdates) {
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    UpdateScreen(screen, 9);
    EXPECT_EQ(screen->blinkCount, 0);
    UpdateScreen(screen, 1);
    EXPECT_EQ(screen->blinkCount, 1);
    UpdateScreen(screen, 19);
    EXPECT_EQ(screen->blinkCount, 2);
    EXPECT_EQ(screen->TodayColor(), ImageColor::HslColor(40, 255, 180));
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(screen->AllTimeColor(row),
                  ImageColor::HslColor((2 + row + 2) * 20 % 256, 255, 180));
    screen->blinkCount = 12;  // 12 * 20 = 240; row 4 wraps: 18 * 20 mod 256 = 104
    EXPECT_EQ(screen->TodayColor(), ImageColor::HslColor(240, 255, 180));
    EXPECT_EQ(screen->AllTimeColor(4), ImageColor::HslColor(104, 255, 180));
}

TEST_F(GameOverScreenTest, DurationsShowMinutesAndSeconds) {
    EXPECT_EQ(FormatGameDuration(5), " 0.05");
    EXPECT_EQ(FormatGameDuration(65), " 1.05");
    EXPECT_EQ(FormatGameDuration(3600), "60.00");
    EXPECT_EQ(FormatGameDuration(0), " 0.00");
}

TEST_F(GameOverScreenTest, TipIsTheSeededRandomChoice) {
    StartGame();
    std::srand(4321);
    int expected = std::rand() % HighScoreWidget::kTipCount;
    std::srand(4321);
    HighScoreWidget* screen = EndGame(0);
    EXPECT_EQ(screen->tip, HighScoreWidget::TipText(expected));
    EXPECT_NE(std::string(HighScoreWidget::TipText(8)).find("for more"), std::string::npos);
}

TEST_F(GameOverScreenTest, RowsBelowThePanelAlwaysShowTheFinalBoard) {
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    // The board drawn on its own, then laid on black as the screen lays its picture.
    MemoryImage boardAlone(app->GetImageRegistry());
    boardAlone.Create(640, 480);
    {
        Graphics g(&boardAlone);
        app->GetBoard()->Draw(&g);
    }
    MemoryImage expected(app->GetImageRegistry());
    expected.Create(640, 480);
    {
        Graphics g(&expected);
        g.SetColor(Color(0, 0, 0));
        g.FillRect(0, 0, 640, 480);
        g.DrawImage(&boardAlone, 0, 0);
    }
    for (int updates : {1, 30, 59, 200}) {
        UpdateScreen(screen, updates);
        MemoryImage shown(app->GetImageRegistry());
        shown.Create(640, 480);
        Graphics g(&shown);
        screen->Draw(&g);
        const uint32_t* a = shown.GetBits();
        const uint32_t* b = expected.GetBits();
        int firstBoardRow = std::min(480 + screen->slideOffset, 436);
        for (int row = firstBoardRow; row < 480; row += 11)
            for (int column = 0; column < 640; column += 7)
                ASSERT_EQ(a[row * 640 + column], b[row * 640 + column])
                    << "row " << row << " column " << column;
        // Above the panel's bottom edge the board no longer shows through.
        if (screen->slideOffset == 0) {
            EXPECT_NE(a[200 * 640 + 400], b[200 * 640 + 400]);
        }
    }
}

}  // namespace
}  // namespace Varn::test

namespace Varn::test {
namespace {

// True when some pixel of the area is within `tolerance` of the colour.
bool AreaHasColour(MemoryImage& image, const Rect& area, const Color& colour, int tolerance) {
    const uint32_t* bits = image.GetBits();
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x) {
            uint32_t p = bits[y * image.GetWidth() + x];
            int r = int(p & 0xFF), g = int(p >> 8 & 0xFF), b = int(p >> 16 & 0xFF);
            if (std::abs(r - colour.red) <= tolerance && std::abs(g - colour.green) <= tolerance &&
                std::abs(b - colour.blue) <= tolerance)
                return true;
        }
    return false;
}

TEST_F(GameOverScreenTest, ArrivedPanelShowsItsTitleBandsAndTables) {
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    UpdateScreen(screen, 60);
    MemoryImage shown(app->GetImageRegistry());
    shown.Create(640, 480);
    Graphics g(&shown);
    screen->Draw(&g);
    EXPECT_TRUE(AreaHasColour(shown, Rect(300, 30, 1, 1), Color(21, 0, 56), 0));
    EXPECT_TRUE(AreaHasColour(shown, Rect(600, 395, 1, 1), Color(0, 218, 0), 0));
    EXPECT_TRUE(AreaHasColour(shown, Rect(230, 162, 1, 1), Color(0, 218, 0), 0));
    EXPECT_TRUE(AreaHasColour(shown, Rect(330, 20, 160, 28), Color(255, 0, 177), 24));
    EXPECT_TRUE(AreaHasColour(shown, Rect(200, 180, 180, 22), Color(255, 193, 0), 24));
    // The first all-time row of the normal table, in its rainbow colour.
    EXPECT_TRUE(AreaHasColour(shown, Rect(200, 288, 180, 17), screen->AllTimeColor(0), 24));
}

TEST_F(GameOverScreenTest, HighScoreDialogDrawsBothTables) {
    StartGame();
    app->ButtonClicked(13);  // Options
    auto* options = dynamic_cast<OptionsDialog*>(app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    ClickCentreOf(options->highScoresButton.get());
    Dialog* dialog = app->GetDialog(13);
    ASSERT_NE(dialog, nullptr);
    MemoryImage shown(app->GetImageRegistry());
    shown.Create(dialog->width, dialog->height);
    Graphics g(&shown);
    dialog->Draw(&g);
    int left = dialog->width / 2 - 90;
    int right = dialog->width / 2 + 90;
    for (int centre : {left, right}) {
        EXPECT_TRUE(AreaHasColour(shown, Rect(centre - 30, 58, 60, 16), Color(255, 255, 128), 24));
        EXPECT_TRUE(AreaHasColour(shown, Rect(centre - 74, 165, 70, 16), Color(255, 255, 0), 24));
        EXPECT_TRUE(AreaHasColour(shown, Rect(centre + 10, 232, 64, 16), Color(255, 255, 0), 24));
    }
}

// Pixels of the area that are not the given colour.
int PixelsOtherThan(MemoryImage& image, const Rect& area, Color colour) {
    const std::uint32_t packed = 0xFF000000u | std::uint32_t(colour.blue) << 16 |
                                 std::uint32_t(colour.green) << 8 | std::uint32_t(colour.red);
    const std::uint32_t* bits = image.GetBits();
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            count += (bits[y * image.GetWidth() + x] | 0xFF000000u) != packed;
    return count;
}

// A damaged file's 255-byte names stay in their column, on the game-over
// screen and in the high-score dialog: nothing reaches the gap between the
// two tables.
TEST_F(GameOverScreenTest, LongNamesAreCutOffBeforeTheirScores) {
    HighScoreTables tables;
    for (int mode : {HighScoreTables::kNormalMode, HighScoreTables::kTimedMode}) {
        tables.Mode(mode).today = {std::string(255, 'W'), 9000};
        for (int j = 0; j < HighScoreModeTable::kAllTimeEntries; ++j)
            tables.Mode(mode).allTime[j] = {std::string(255, 'M'), 5000 - j};
    }
    ASSERT_TRUE(WriteHighScoreFile(HighScorePath().string(), tables, CurrentDayNumber()));
    StartGame();
    HighScoreWidget* screen = EndGame(0);
    UpdateScreen(screen, 60);
    MemoryImage shown(app->GetImageRegistry());
    shown.Create(640, 480);
    Graphics g(&shown);
    screen->Draw(&g);
    const Color panel(21, 0, 56);
    // The gap starts a pixel in: a score's last digit may reach past its pen, as in its face.
    EXPECT_EQ(PixelsOtherThan(shown, Rect(363, 232, 87, 24), panel), 0) << "today's rows";
    EXPECT_EQ(PixelsOtherThan(shown, Rect(363, 286, 87, 90), panel), 0) << "all-time rows";

    app->ButtonClicked(13);  // Options, then its High Scores
    auto* options = dynamic_cast<OptionsDialog*>(app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    ClickCentreOf(options->highScoresButton.get());
    Dialog* dialog = app->GetDialog(13);
    ASSERT_NE(dialog, nullptr);
    MemoryImage inDialog(app->GetImageRegistry());
    inDialog.Create(dialog->width, dialog->height);
    Graphics d(&inDialog);
    dialog->Draw(&d);
    EXPECT_FALSE(AreaHasColour(inDialog, Rect(dialog->width / 2 - 14, 110, 28, 140),
                               Color(255, 255, 0), 24));
}

}  // namespace
}  // namespace Varn::test
