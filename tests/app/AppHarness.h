// Runs the real game application on the headless platform: a private program
// folder that links to the generated game data (so saved games and high scores
// stay inside the test), a fake clock, scripted clicks, recorded sounds.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/WinLodeApp.h"
#include "platform/headless/HeadlessPlatform.h"

namespace Varn::test {

class RecordingApp : public WinLodeApp {
public:
    using WinLodeApp::WinLodeApp;
    void PlaySound(int soundId) override {
        sounds.push_back(soundId);
        WinLodeApp::PlaySound(soundId);
    }
    void ExitProcess(int code) override { exitCodes.push_back(code); }
    void ButtonClicked(int id) override {
        clicks.push_back(id);
        WinLodeApp::ButtonClicked(id);
    }
    FolderInputs ReadFolderInputs() override {
        FolderInputs inputs = WinLodeApp::ReadFolderInputs();
        if (adjustFolders) adjustFolders(inputs);
        return inputs;
    }
    // Stands in for permissions and the environment in the folder choice.
    std::function<void(FolderInputs&)> adjustFolders;
    using WinLodeApp::StartLoadingThread;
    using WinLodeApp::WaitForLoadingThread;
    std::vector<int> sounds;
    std::vector<int> exitCodes;
    std::vector<int> clicks;
};

class AppHarness {
public:
    // A fresh program folder, or the given one (to start again where a
    // previous run left its files).
    explicit AppHarness(std::filesystem::path folder = {});
    ~AppHarness();

    // Init, then the loading work on this thread, as the loading thread would.
    void Start();
    // Clicks the play link and runs until the game screen is up.
    void StartPlaying();
    void Tick(int ticks = 1);
    void Click(int x, int y, bool right = false);
    void ClickButton(int gameButtonId);
    // Clicks the open dialog's first (positive) or second button; fails the test if absent.
    void ClickDialogButton(int dialogId, bool positive);
    // Runs until the predicate holds; false if it never does within the ticks.
    bool TickUntil(const std::function<bool()>& done, int maxTicks = 3000);
    // Makes a legal move on the board and runs until it has settled.
    bool MakeMove();
    // Restarts the application in the same folder (destroying the current one).
    void Restart();
    // Keeps the screen in artifacts/screens/NAME.png; true if it is not one flat colour.
    bool SaveScreen(const std::string& name);

    HeadlessPlatform platform;
    // Runs after every tick (a test records the audio output with it).
    std::function<void()> afterTick;
    std::filesystem::path folder;
    std::unique_ptr<RecordingApp> app;
    bool ownsFolder = false;
};

}  // namespace Varn::test
