// A whole WinLodeApp on the headless platform, for the high-score, options
// and name-entry tests. Each test gets a fresh program folder of its own in
// the temporary directory: the built game's data folders are linked into it,
// and "hiscores.dat" and the settings are written there, never into the
// build. Resources load on the test's thread; sound is off (no device), which
// keeps loading fast and changes nothing the tests look at.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/HighScoreWidget.h"
#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "platform/headless/HeadlessPlatform.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {

// The application with the few seams the tests watch.
class ScoresTestApp : public WinLodeApp {
public:
    using WinLodeApp::WinLodeApp;

    void SwitchScreenMode(bool toWindowed) override {
        ++screenModeSwitches;
        windowed = toWindowed;
    }
    void ExitProcess(int code) override { exitCodes.push_back(code); }
    void PlaySound(int soundId) override {
        sounds.push_back(soundId);
        WinLodeApp::PlaySound(soundId);
    }
    void DeleteClosedWidgets() { DeleteQueuedWidgets(); }

    int screenModeSwitches = 0;
    std::vector<int> sounds;
    std::vector<int> exitCodes;
};

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousFolder = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() /
                 ("gemlode_scores_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder / "config");
        const std::filesystem::path game = GEMLODE_GAME_DIR;
        for (const char* data : {"images", "sounds", "music", "data"})
            std::filesystem::create_directory_symlink(game / data, folder / data);
        std::ofstream(folder / "gemlode") << "program";
        platform.desktop.programPath = (folder / "gemlode").string();
        platform.desktop.configRoot = (folder / "config").string();
        platform.audioAvailable = false;
    }

    void TearDown() override {
        app.reset();
        std::filesystem::current_path(previousFolder);
        std::filesystem::remove_all(folder);
    }

    // Init, the loading thread's work on this thread, and the game screen.
    void StartGame() {
        app = std::make_unique<ScoresTestApp>(&platform);
        app->Init();
        ASSERT_FALSE(app->quitRequested);
        app->LoadResources();
        ASSERT_FALSE(app->quitRequested) << "game data missing in " << GEMLODE_GAME_DIR;
        app->loaded = true;
        app->StartGame();
        ASSERT_NE(app->GetBoard(), nullptr);
    }

    // Ends the current game as the board would, with the given result.
    HighScoreWidget* EndGame(int score, bool timed = false) {
        Board* board = app->GetBoard();
        board->timedMode = timed;
        board->score = score;
        board->state = BoardState::GameOverShown;
        app->ShowGameOver();
        return app->GetGameOverScreen();
    }

    void UpdateScreen(HighScoreWidget* screen, int count) {
        for (int i = 0; i < count; ++i) screen->Update();
    }

    // A left click through the widget manager, as the window would deliver it.
    void Click(int x, int y) {
        WidgetManager* manager = app->GetWidgetManager();
        manager->MouseMove(x, y);
        manager->MouseDown(x, y, 1);
        manager->MouseUp(x, y);
    }

    void ClickCentreOf(Widget* widget) {
        Click(widget->x + widget->width / 2, widget->y + widget->height / 2);
    }

    // What the end of a loop pass does: closed dialogs are deleted.
    void FinishPass() { app->DeleteClosedWidgets(); }

    std::filesystem::path HighScorePath() const { return folder / HighScoreWidget::kFileName; }

    HeadlessPlatform platform;
    std::unique_ptr<ScoresTestApp> app;
    std::filesystem::path folder;
    std::filesystem::path previousFolder;
};

}  // namespace Varn::test
