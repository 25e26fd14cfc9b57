// WinLodeApp: identity, settings of its own, the saved game at exit, and the
// looping effect the board asks for.
#include "app/WinLodeApp.h"

#include <cerrno>

#include "app/HighScoreWidget.h"
#include "app/TitleScreen.h"
#include "board/Board.h"
#include "framework/SettingsStore.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "platform/GameFolders.h"
#include "platform/WriteFailure.h"
#include "sound/SoundInstance.h"
#include "sound/SoundManager.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

// The longest stored strings the game reads back: ReferId (256 bytes) and a
// high-score name (255, the longest the high-score file keeps).
constexpr size_t kMaxStoredString = 256;
constexpr size_t kMaxStoredName = 255;

// A looping effect; dropping it stops the sound and gives its voice back.
class LoopingSound : public BoardSoundLoop {
public:
    explicit LoopingSound(SoundInstance* playing) : instance(playing) {}
    ~LoopingSound() override {
        instance->Stop();
        instance->Release();
    }
    void SetVolume(double volume) override { instance->SetVolume(volume); }

private:
    SoundInstance* instance;
};

}  // namespace

WinLodeApp::WinLodeApp(Platform* platformLayer) : VarnApp(platformLayer) {
    productName = "Prismora";
    title = "Gemlode " + productVersion;
    registryKey = "Zandrel\\Gemlode";
    random.Seed(std::uint32_t(Now()));
}

WinLodeApp::~WinLodeApp() {
    // The game in progress is saved before anything is torn down.
    if (!quitSaveDone) SaveAtExit();
    Shutdown();
    WidgetManager* manager = GetWidgetManager();
    for (auto& button : gameButtons)
        if (manager) manager->RemoveWidget(button.get());
    gameButtons.clear();
    if (manager && gameOverScreen) manager->RemoveWidget(gameOverScreen.get());
    gameOverScreen.reset();
    if (manager && board) manager->RemoveWidget(board.get());
    board.reset();
    if (manager && titleScreen) manager->RemoveWidget(titleScreen.get());
    titleScreen.reset();
    // Widgets queued for deletion may still draw with the resources below.
    DeleteQueuedWidgets();
    if (loadingThread.joinable()) loadingThread.join();
}

std::string WinLodeApp::SaveForQuit() {
    std::string failures;
    if (board && board->CanSaveGame() && !board->savePath.empty() && !board->SaveGame()) {
        failures += "Your game could not be saved:\n" + WriteFailureText(errno) + ".\n";
        // What quitting anyway leaves: the file is this game's only where it was continued
        // or saved before.
        failures += board->holdsSavedGame && board->SavedGameExists()
                        ? "The next start offers it as it was last saved.\n"
                        : "The next start cannot offer it.\n";
    }
    if (gameOverScreen && !gameOverScreen->WriteFileNow())
        failures += "The high scores could not be saved:\n" + WriteFailureText(errno) + ".\n";
    return failures;
}

void WinLodeApp::SaveAtExit() {
    quitSaveDone = true;
    const std::string failures = SaveForQuit();
    if (failures.empty()) return;
    Log(failures);
    // Told once: the game-over screen's own write at its end would fail the same way.
    if (gameOverScreen) gameOverScreen->writesFile = false;
}

std::unique_ptr<BoardSoundLoop> WinLodeApp::StartSoundLoop(int soundId) {
    SoundManager* sounds = GetSoundManager();
    if (!sounds || soundId < 0) return nullptr;
    SoundInstance* instance = sounds->GetSoundInstance(unsigned(soundId));
    if (!instance) return nullptr;
    instance->Play(true, false);
    return std::make_unique<LoopingSound>(instance);
}

void WinLodeApp::LoadRegistrySettings() {
    VarnApp::LoadRegistrySettings();
    std::string root = platform->GetDesktop().ConfigRoot();
    if (root.empty()) return;
    auto key = SettingsStore(root).OpenKey(SettingsKeyPath(registryKey));
    if (!key) return;
    if (auto name = key->GetString("LastScoreName", kMaxStoredName)) lastScoreName = *name;
    if (auto id = key->GetString("ReferId", kMaxStoredString)) referId = *id;
}

void WinLodeApp::SaveRegistrySettings() {
    VarnApp::SaveRegistrySettings();
    std::string root = platform->GetDesktop().ConfigRoot();
    if (root.empty() || lastScoreName.empty()) return;
    auto key = SettingsStore(root).OpenKey(SettingsKeyPath(registryKey));
    if (!key) return;
    key->SetString("LastScoreName", lastScoreName.substr(0, kMaxStoredName));
    key->Commit();
}

}  // namespace Varn
