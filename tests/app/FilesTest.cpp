// Where the running game keeps its files: beside the program when it may write
// there, else in the player's data folder; no promise to save when nothing can
// be written; one copy per player.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "board/Board.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"

namespace Varn::test {
namespace {

namespace fs = std::filesystem;
constexpr int kQuit = 14;
constexpr int kQuitDialog = 1, kContinueDialog = 16;

int LogLinesWith(AppHarness& h, const std::string& text) {
    std::lock_guard<std::mutex> lock(h.platform.desktop.logMutex);
    const auto& lines = h.platform.desktop.logLines;
    return int(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

void QuitAfterAMove(AppHarness& h) {
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kQuit);
    h.ClickDialogButton(kQuitDialog, true);
}

TEST(GameFiles, ReadOnlyProgramFolderKeepsTheGameInTheDataFolder) {
    AppHarness h;
    const fs::path program = h.folder;
    const fs::path xdg = h.folder / "xdg";
    h.app->adjustFolders = [program, xdg](FolderInputs& in) {
        in.writable = [program](const fs::path& f) { return f != program; };
        in.xdgDataHome = xdg.string();
    };
    h.Start();
    h.StartPlaying();
    QuitAfterAMove(h);
    h.Restart();
    const fs::path data = xdg / "Zandrel" / "Gemlode";
    EXPECT_TRUE(fs::exists(data / "savegame.dat"));
    EXPECT_FALSE(fs::exists(program / "savegame.dat"));
    EXPECT_TRUE(h.platform.desktop.boxes.empty());
    h.StartPlaying();
    EXPECT_NE(h.app->GetDialog(kContinueDialog), nullptr);
}

TEST(GameFiles, NothingWritableIsSaidOnceAndTheQuitQuestionPromisesNothing) {
    AppHarness h;
    const fs::path program = h.folder;
    std::ofstream(h.folder / "plainfile") << "x";
    const fs::path xdg = h.folder / "plainfile" / "xdg";  // cannot be created
    h.app->adjustFolders = [program, xdg](FolderInputs& in) {
        in.writable = [program](const fs::path& f) { return f != program; };
        in.xdgDataHome = xdg.string();
    };
    h.Start();
    h.StartPlaying();
    ASSERT_TRUE(h.MakeMove());
    h.ClickButton(kQuit);
    ASSERT_NE(h.app->GetDialog(kQuitDialog), nullptr);
    EXPECT_EQ(h.app->GetDialog(kQuitDialog)->body.find("saved"), std::string::npos);
    Dialog* quit = h.app->GetDialog(kQuitDialog);
    EXPECT_EQ(quit->DefaultButton(), quit->secondButton.get());  // YES loses the game
    h.ClickDialogButton(kQuitDialog, true);
    h.app.reset();
    EXPECT_EQ(LogLinesWith(h, "nothing will be saved"), 1);
    ASSERT_EQ(h.platform.desktop.boxes.size(), 1u);
    EXPECT_NE(h.platform.desktop.boxes[0].text.find("nothing will be saved"), std::string::npos);
    EXPECT_FALSE(fs::exists(program / "savegame.dat"));
    EXPECT_FALSE(fs::exists(program / "hiscores.dat"));
}

TEST(GameFiles, SecondCopyForTheSamePlayerSaysSoAndEnds) {
    AppHarness first;
    first.Start();
    AppHarness second(first.folder);
    second.app->Init();
    EXPECT_TRUE(second.app->anotherCopyRunning);
    EXPECT_TRUE(second.app->closing);
    EXPECT_EQ(second.app->GetTitleScreen(), nullptr);
    ASSERT_EQ(second.platform.desktop.boxes.size(), 1u);
    EXPECT_NE(second.platform.desktop.boxes[0].text.find("already running"), std::string::npos);
    second.app->Shutdown();
    EXPECT_EQ(second.app->settingsSaveCount, 0);
    EXPECT_FALSE(first.app->anotherCopyRunning);
}

// Where the system's box fails, both start notices appear in the game's own window until
// Enter; the second copy then ends, and so does a run whose notice met the close box.
TEST(GameFiles, StartNoticesFallBackToTheGameWindow) {
    AppHarness first;
    first.Start();
    AppHarness second(first.folder);
    AppHarness unwritable, closed;
    for (AppHarness* h : {&unwritable, &closed}) {
        const fs::path program = h->folder;
        std::ofstream(program / "plainfile") << "x";
        h->app->adjustFolders = [program](FolderInputs& in) {
            in.writable = [program](const fs::path& f) { return f != program; };
            in.xdgDataHome = (program / "plainfile" / "xdg").string();  // cannot be created
        };
    }
    for (AppHarness* h : {&second, &unwritable, &closed}) {
        h->platform.desktop.boxesShown = false;
        int pumps = 0;
        h->platform.window.onPump = [&pumps, close = h == &closed](HeadlessWindow& window) {
            if (++pumps == 1) window.PostKey(close ? kMsgClose : kMsgKeyDown, 13);
        };
        h->app->Init();
        EXPECT_EQ(pumps, 1);
        EXPECT_GT(h->platform.window.presentCount, 0);
        h->platform.window.onPump = nullptr;
    }
    EXPECT_TRUE(second.app->closing);
    EXPECT_FALSE(unwritable.app->closing);
    EXPECT_TRUE(closed.app->closing);
}

TEST(GameFiles, NoUsableDisplayEndsWithCode1BeforeTheLock) {
    AppHarness h;
    h.platform.desktop.displayUsable = false;
    h.app->Init();
    EXPECT_EQ(h.app->exitCode, 1);
    EXPECT_TRUE(h.app->closing);
    EXPECT_FALSE(h.platform.window.exists);
    AppHarness next(h.folder);
    next.app->Init();
    EXPECT_FALSE(next.app->anotherCopyRunning);
}

TEST(GameFiles, LeftoverTemporariesOfAKilledRunAreCleanedAtStart) {
    AppHarness h;
    const fs::path leftover = h.folder / "savegame.dat.gemlode-tmp-999999";
    std::ofstream(leftover) << "half";
    h.Start();
    EXPECT_FALSE(fs::exists(leftover));
}

std::vector<int> BoardKinds(AppHarness& h) {
    std::vector<int> kinds;
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            Gem* gem = h.app->GetBoard()->grid.At(column, row);
            kinds.push_back(gem ? gem->kind : -1);
        }
    return kinds;
}

TEST(GameSeed, SeededFirstGameIsDealtAlikeAndOnlyItCarriesTheSeed) {
    std::vector<int> dealt[2];
    for (auto& kinds : dealt) {
        AppHarness h;
        h.app->commandSeed = 42;
        h.Start();
        h.StartPlaying();
        ASSERT_NE(h.app->GetBoard(), nullptr);
        EXPECT_EQ(h.app->GetBoard()->dealtFromSeed, 42u);
        kinds = BoardKinds(h);
        h.app->NewBoard();
        EXPECT_FALSE(h.app->GetBoard()->dealtFromSeed);
    }
    EXPECT_EQ(dealt[0], dealt[1]);
    AppHarness other;
    other.app->commandSeed = 43;
    other.Start();
    other.StartPlaying();
    EXPECT_NE(BoardKinds(other), dealt[0]);
    EXPECT_EQ(SeedText(42), "SEED 42");
}

}  // namespace
}  // namespace Varn::test
