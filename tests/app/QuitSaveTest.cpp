// A save the quit promised that fails is told, with its reason, while the window is up;
// the player may quit anyway or go back, and a game saved before stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AppHarness.h"
#include "app/HighScoreWidget.h"
#include "board/Board.h"
#include "tests/platform/SystemFaults.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"

namespace Varn::test {
namespace {

namespace fs = std::filesystem;
constexpr int kQuit = 14;
constexpr int kQuitDialog = 1, kContinueDialog = 16, kSaveFailedDialog = 19;

std::string FailureText(AppHarness& h) {
    Dialog* dialog = h.app->GetDialog(kSaveFailedDialog);
    return dialog ? dialog->body : std::string();
}

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A continued game on a full disk: a held Enter answers only the Quit question, A takes NO;
// quitting anyway leaves the game as it was saved, as the question said.
TEST(QuitSave, FullDiskTellsTheFailureAndKeepsTheContinuedGame) {
    AppHarness h;
    h.Start();
    h.StartPlaying();
    ASSERT_TRUE(h.MakeMove());
    h.Restart();
    const std::string saved = FileText(h.folder / "savegame.dat");
    h.StartPlaying();
    h.ClickDialogButton(kContinueDialog, true);
    ASSERT_TRUE(h.MakeMove());
    {
        NoRoomForFiles full;
        h.ClickButton(kQuit);
        for (int message : {kMsgKeyDown, kMsgKeyDown, kMsgKeyUp})  // the second is a repeat
            h.platform.window.PostKey(message, 13);
        h.Tick();
        EXPECT_NE(FailureText(h).find("the disk is full"), std::string::npos) << FailureText(h);
        EXPECT_NE(FailureText(h).find("as it was last saved"), std::string::npos);
        EXPECT_FALSE(h.app->closing);
        for (int press = 0; press < 2; ++press) h.platform.window.PostPad(kPadA, true);
        h.Tick();  // the first press shows the focus ring, the second presses its button
        EXPECT_TRUE(!h.app->GetDialog(kSaveFailedDialog) && !h.app->closing);  // back to the game
        h.ClickButton(kQuit);
        h.ClickDialogButton(kQuitDialog, true);
        h.ClickDialogButton(kSaveFailedDialog, true);  // quit anyway
        EXPECT_TRUE(h.app->closing);
    }
    EXPECT_TRUE(FileText(h.folder / "savegame.dat") == saved);
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
