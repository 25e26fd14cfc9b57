// A save the quit promised that fails is told, with its reason, while the window is up;
// the player may quit anyway or go back, and the old saved game stays as it was.
#include <gtest/gtest.h>
#include <sys/mount.h>

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
constexpr int kQuitDialog = 1, kSaveFailedDialog = 19;

std::string FailureText(AppHarness& h) {
    Dialog* dialog = h.app->GetDialog(kSaveFailedDialog);
    return dialog ? dialog->body : std::string();
}

// A 64 KiB tmpfs as the program (and so the write) folder.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/gemlode-full-XXXXXX";
        folder = mkdtemp(pattern);
        if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
            fs::remove(folder);
            GTEST_SKIP() << "cannot mount a small tmpfs here (needs root): " << strerror(errno);
        }
        mounted = true;
        for (const char* data : {"images", "sounds", "music", "data"})
            fs::create_directory_symlink(fs::path(GEMLODE_GAME_DIR) / data, folder / data);
    }
    void TearDown() override {
        if (!mounted) return;
        umount2(folder.c_str(), MNT_DETACH);
        fs::remove(folder);
    }
    void FillDisk() {
        std::ofstream filler(folder / "filler");
        for (int i = 0; i < 64 && filler << std::string(4096, 'x') << std::flush; ++i) {
        }
    }
    fs::path folder;
    bool mounted = false;
};

TEST_F(FullDisk, QuitYesTellsTheFailureAndKeepsTheOldSavedGame) {
    {
        AppHarness h(folder);
        h.Start();
        h.StartPlaying();
        ASSERT_TRUE(h.MakeMove());
        std::ofstream(folder / "savegame.dat") << "old game";
        FillDisk();
        h.ClickButton(kQuit);
        h.ClickDialogButton(kQuitDialog, true);
        EXPECT_NE(FailureText(h).find("the disk is full"), std::string::npos) << FailureText(h);
        EXPECT_FALSE(h.app->closing);
        h.ClickDialogButton(kSaveFailedDialog, false);  // back to the game
        EXPECT_FALSE(h.app->closing);
        EXPECT_EQ(h.app->GetDialog(kSaveFailedDialog), nullptr);
        h.ClickButton(kQuit);
        h.ClickDialogButton(kQuitDialog, true);
        h.ClickDialogButton(kSaveFailedDialog, true);  // quit anyway
        EXPECT_TRUE(h.app->closing);
    }
    std::string kept;
    std::getline(std::ifstream(folder / "savegame.dat"), kept);
    EXPECT_EQ(kept, "old game");
}

// Names too long for the file system: the close box asks too, naming both files.
TEST(QuitSave, CloseBoxTellsGameAndHighScoreFailures) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    ASSERT_TRUE(h.MakeMove());
    const std::string tooLong = (h.folder / std::string(300, 'n')).string();
    h.app->GetBoard()->savePath = tooLong;
    h.app->ShowGameOver();
    h.app->GetGameOverScreen()->filePath = tooLong;
    h.platform.window.Post({kMainWindow, kMsgClose, 0, 0});
    h.Tick();
    const std::string text = FailureText(h);
    EXPECT_NE(text.find("Your game could not be saved:\nthe folder's path is too long"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("The high scores could not be saved"), std::string::npos) << text;
    EXPECT_FALSE(h.app->closing);
}

// A signal's quit has nobody to ask: the failure goes to the log.
TEST(QuitSave, SignalQuitLogsTheFailure) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    ASSERT_TRUE(h.MakeMove());
    h.app->GetBoard()->savePath = (h.folder / "missing" / "savegame.dat").string();
    h.platform.window.Post({kInvisibleWindow, kMsgClose, 0, 0});
    h.Tick();
    EXPECT_TRUE(h.app->closing);
    EXPECT_EQ(h.app->GetDialog(kSaveFailedDialog), nullptr);
    h.app.reset();
    const auto& lines = h.platform.desktop.logLines;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("could not be saved:\nthe folder is missing") != std::string::npos;
    }));
}

}  // namespace
}  // namespace Varn::test
