// Renders the real application's screens headless at the moments a player
// sees most (title, first board, a dialog, the level-up whirl, game over, the
// options, high-score and instructions dialogs) and keeps them as PNG files in
// the build's artifacts folder, for a person to check that every text is whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

#include "AppHarness.h"
#include "app/OptionsDialog.h"
#include "app/RecordScoreDialog.h"
#include "board/Board.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Checkbox.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

TEST(ScreensTest, TitleGameDialogLevelUpAndGameOverAreDrawn) {
    AppHarness h;
    h.Start();
    h.Tick(8);
    EXPECT_TRUE(h.SaveScreen("title"));
    h.platform.window.PostPad(kPadA, true);  // the first press shows the ring on the link
    h.Tick(1);
    EXPECT_TRUE(h.SaveScreen("title-focus-ring"));
    h.platform.window.PostMouse(kMsgMouseMove, 20, 20);  // the mouse takes over again
    h.StartPlaying();
    Board* board = h.app->GetBoard();
    board->movePoints = 18500;  // the HINT badge's bonus, and the hint on a white gem
    board->moveBonusCountdown = 1000;
    int cell = 63;
    while (cell > 0 && board->grid.At(cell % 8, cell / 8)->kind != 1) --cell;
    board->grid.At(cell % 8, cell / 8)->sparkleCountdown = 58;
    h.Tick(160);
    EXPECT_TRUE(h.SaveScreen("game-start"));
    h.ClickButton(14);  // Quit: the question
    EXPECT_TRUE(h.SaveScreen("dialog-quit"));
    h.app->CloseDialog(1);
    h.Tick(2);

    bool sawLevelUp = false;
    for (int move = 0; move < 400 && !sawLevelUp; ++move) {
        ASSERT_TRUE(h.MakeMove()) << "move " << move << " state " << int(board->state);
        if (board->state == BoardState::LevelUpWhirl) {
            h.Tick(60);
            sawLevelUp = h.SaveScreen("level-up");
        }
    }
    EXPECT_TRUE(sawLevelUp) << "state " << int(board->state) << " level " << board->levelNumber;

    // The other questions and notices, each over the game screen, and the pause.
    const struct {
        const char* name;
        int dialog;
        std::function<void()> open;
    } notices[] = {{"dialog-new-game", 0, [&] { h.app->ButtonClicked(10); }},
                   {"dialog-timed-mode", 4, [&] { h.app->ButtonClicked(12); }},
                   {"dialog-no-windowed-mode", 12, [&] { h.app->ShowNoWindowedMode(); }},
                   {"dialog-saved-game", 17, [&] { h.app->ShowSavedGameUnreadable(); }}};
    for (const auto& notice : notices) {
        notice.open();
        h.Tick(2);
        EXPECT_NE(h.app->GetDialog(notice.dialog), nullptr) << notice.name;
        EXPECT_TRUE(h.SaveScreen(notice.name));
        h.app->CloseDialog(notice.dialog);
        h.Tick(2);
    }
    board->KeyChar('p');
    h.Tick(2);
    EXPECT_TRUE(h.SaveScreen("paused"));
}

// The software cursor moved into each game-screen button (which draw
// nothing at rest) and into the options dialog's sliders and checkboxes
// leaves the screen exactly as a fresh redraw paints it: no copies of the
// cursor stay behind. The cursor picture is smaller than every control, so
// each can cover it, and the comparison is made with the cursor still inside
// (leaving a control redraws what lies below anyway).
TEST(ScreensTest, CursorMovedIntoTheControlsLeavesNoCopies) {
    MemoryImage cursor(nullptr);
    cursor.Create(12, 12);
    std::fill(cursor.GetBits(), cursor.GetBits() + 144, 0xFFFF00FFu);
    cursor.BitsChanged();
    AppHarness h;
    h.Start();
    h.StartPlaying();
    h.app->GetWidgetManager()->KeyChar(' ');  // a still board: only the cursor changes
    for (int kind = 0; kind < 4; ++kind) h.app->SetCursorKindImage(kind, &cursor);
    h.app->SetCustomCursors(true);
    h.Tick();
    WidgetManager* manager = h.app->GetWidgetManager();
    ASSERT_TRUE(manager->cursorShown);
    auto* screen = dynamic_cast<MemoryImage*>(manager->GetScreenImage());
    ASSERT_NE(screen, nullptr);
    const std::size_t count = std::size_t(screen->GetWidth()) * screen->GetHeight();
    auto sweep = [&](Widget* control) {
        const int y = control->y + control->height / 2;
        for (int x = control->x - 8; x <= control->x + control->width / 2; x += 3) {
            h.platform.window.PostMouse(kMsgMouseMove, x, y);
            h.Tick();
        }
        const std::vector<uint32_t> shown(screen->GetBits(), screen->GetBits() + count);
        manager->MarkAllDirty();
        manager->DrawScreen();
        const uint32_t* fresh = screen->GetBits();
        int differing = 0;
        for (std::size_t i = 0; i < count; ++i)
            differing += ((shown[i] ^ fresh[i]) & 0xFFFFFFu) != 0;
        return differing;
    };
    for (const auto& button : h.app->GetGameButtons())
        EXPECT_EQ(sweep(button.get()), 0) << "game button " << button->id;
    h.ClickButton(13);
    auto* options = dynamic_cast<OptionsDialog*>(h.app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    for (Widget* control : {static_cast<Widget*>(options->musicSlider.get()),
                            static_cast<Widget*>(options->soundSlider.get()),
                            static_cast<Widget*>(options->fullscreenBox.get()),
                            static_cast<Widget*>(options->cursorsBox.get())})
        EXPECT_EQ(sweep(control), 0) << "options control at " << control->x << ", " << control->y;
    h.app->SetCustomCursors(false);
}

// The left panel under the score, where a seeded game names its seed.
std::vector<uint32_t> SeedArea(AppHarness& h) {
    auto* screen = dynamic_cast<MemoryImage*>(h.app->GetWidgetManager()->GetScreenImage());
    std::vector<uint32_t> area;
    if (!screen) return area;
    for (int y = 122; y < 140; ++y)
        for (int x = 20; x < 166; ++x)
            area.push_back(screen->GetBits()[y * screen->GetWidth() + x]);
    return area;
}

TEST(ScreensTest, GameOverNamesTheSeedOnlyOfASeededGame) {
    std::vector<uint32_t> area[2];
    for (int seeded = 0; seeded < 2; ++seeded) {
        AppHarness h;
        if (seeded) h.app->commandSeed = 42;
        h.Start();
        h.StartPlaying();
        h.Tick(160);
        h.app->ShowGameOver();
        h.Tick(200);
        EXPECT_TRUE(h.SaveScreen(seeded ? "game-over-seeded" : "game-over-unseeded"));
        area[seeded] = SeedArea(h);
    }
    ASSERT_FALSE(area[0].empty());
    EXPECT_NE(area[0], area[1]);
}

void ClickCentreOf(AppHarness& h, Widget* widget) {
    h.Click(widget->x + widget->width / 2, widget->y + widget->height / 2);
    h.Tick(2);
}

TEST(ScreensTest, GameOverAndTheDialogsWithTheMostTextAreDrawn) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    h.Tick(20);
    h.app->CloseDialog(9);  // the start tip goes with the first move
    Board* board = h.app->GetBoard();
    board->score = 850;
    board->gameSeconds = 3599;
    board->gemsCleared = 99999;
    board->longestCascade = 12;
    board->bestMove = 99999;
    board->state = BoardState::GameOverShown;
    h.app->ShowGameOver();
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(8) != nullptr; }, 200));
    EditWidget* field = dynamic_cast<RecordScoreDialog*>(h.app->GetDialog(8))->GetNameField();
    field->SetText("B\351ag");
    field->highlight = 0;  // the whole name selected
    field->cursor = 4;
    field->MarkDirty();
    h.Tick(1);
    EXPECT_TRUE(h.SaveScreen("name-entry"));
    h.app->ButtonClicked(2008);
    h.Tick(2);
    EXPECT_TRUE(h.SaveScreen("game-over"));

    h.Click(96, 261);  // Options
    h.Tick(2);
    auto* options = dynamic_cast<OptionsDialog*>(h.app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(h.SaveScreen("options"));
    ClickCentreOf(h, options->highScoresButton.get());
    Dialog* scores = h.app->GetDialog(13);
    ASSERT_NE(scores, nullptr);
    EXPECT_TRUE(h.SaveScreen("high-scores"));
    ClickCentreOf(h, scores->firstButton.get());
    ClickCentreOf(h, options->helpButton.get());
    ASSERT_NE(h.app->GetDialog(12), nullptr);
    EXPECT_TRUE(h.SaveScreen("instructions"));
}

}  // namespace
}  // namespace Varn::test
