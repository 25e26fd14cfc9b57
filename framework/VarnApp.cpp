// VarnApp life cycle and main loop.
#include "framework/VarnApp.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

#include "framework/AppInfoText.h"
#include "framework/FatalScreen.h"
#include "framework/SettingsStore.h"
#include "framework/crash/CrashHandler.h"
#include "framework/internet/InternetManager.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayDevice.h"
#include "platform/AtomicFile.h"
#include "platform/GameFolders.h"
#include "platform/ThreadSignalStack.h"
#include "sound/AudioOutput.h"
#include "sound/MixerSoundManager.h"
#include "sound/MusicInterface.h"
#include "sound/SoundInstance.h"
#include "widgets/Dialog.h"
#include "widgets/FocusRing.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <ctime>

#ifndef GEMLODE_VERSION
#define GEMLODE_VERSION "0.0.0"
#endif

namespace Varn {

namespace {
constexpr int kMaxUpdatesBeforeDraw = 10;
constexpr int kMaxCatchUpMs = 1000;
constexpr int kPresentAtLeastEveryMs = 1000;
constexpr const char* kAnotherCopyText =
    "Gemlode is already running.\n\nOnly one copy can run at a time, so that one "
    "copy does not overwrite the other's saved game and high scores.";
constexpr const char* kNothingSavedText =
    "Gemlode cannot write to its program folder or to your data folder, so nothing "
    "will be saved in this run: no game in progress and no high scores.";

constexpr const char* kNoDisplayText =
    "Gemlode: no usable display. Start it from a desktop session (DISPLAY or "
    "WAYLAND_DISPLAY set), or set SDL_VIDEODRIVER to the video driver to use.\n";

std::string Format(const char* format, long long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), format, value);
    return buffer;
}
}  // namespace

VarnApp::VarnApp(Platform* platformLayer) : platform(platformLayer) {
    primaryThreadId = std::this_thread::get_id();
    primaryThreadOsId = CrashHandler::CurrentThreadId();
    startMonotonicMs = CrashHandler::MonotonicMs();
    startTick = Now();
    lastPresentTick = startTick;
    processStartTick = platform->GetClock().ProcessStartMilliseconds();
    if (processStartTick < 0 || processStartTick > startTick) processStartTick = startTick;
    productVersion = GetProductVersion(platform->GetDesktop().ProgramPath());
    const char* statistics = std::getenv("GEMLODE_STATISTICS");
    logStatistics = statistics && *statistics && std::string(statistics) != "0";
    NoteCrashFacts();
}

VarnApp::~VarnApp() {
    CrashHandler::DetachApp();
    Shutdown();
    for (auto& [id, dialog] : dialogs) {
        if (widgetManager) widgetManager->RemoveWidget(dialog);
        delete dialog;
    }
    dialogs.clear();
    modalDialogs.clear();
    DeleteQueuedWidgets();
    widgetManager.reset();
    displayDevice.reset();
    musicInterface.reset();
    internetManager.reset();
    soundManager.reset();
    audioOutput.reset();
    platform->GetWindow().Destroy();
    if (loadingThread.joinable()) loadingThread.join();
    messageQueue.clear();
}

std::string VarnApp::GetProductVersion(const std::string& path) {
    // The version is compiled in; any existing program file carries it.
    if (path.empty() || access(path.c_str(), F_OK) != 0) return std::string();
    return GEMLODE_VERSION;
}

void VarnApp::Log(const std::string& line) {
    platform->GetDesktop().Log(line);
}

FolderInputs VarnApp::ReadFolderInputs() {
    return FolderInputs::FromProcess(platform->GetDesktop().ProgramPath());
}

bool VarnApp::ChooseFolders() {
    GameFolders folders = DecideGameFolders(ReadFolderInputs());
    PrepareWriteFolder(folders);
    if (folders.CanWrite()) {
        if (instanceLock.Acquire(folders.writeFolder) == InstanceLock::Result::kHeldByAnotherCopy) {
            anotherCopyRunning = true;
            closing = true;  // Run returns at once and Shutdown saves nothing
            Log("Another copy of the game is running; this one ends\n");
            ShowNotice(kAnotherCopyText);
            return false;
        }
        // Only now: a temporary of a copy still writing is never ours to delete.
        RemoveLeftoverTemporaries(folders.writeFolder);  // ads/ and its sub-folders too
    }
    SetRunFolders(folders);
    if (chdir(folders.dataFolder.c_str()) != 0) Log("Could not change to the data folder\n");
    if (!folders.CanWrite()) {
        Log("No folder can be written: nothing will be saved in this run\n");
        startNotice = kNothingSavedText;
    }
    return true;
}

void VarnApp::Init() {
    // Before the one-copy lock: a run nobody can see must not refuse the next real start.
    if (!platform->GetDesktop().DisplayUsable()) {
        Log(kNoDisplayText);
        exitCode = 1;
        closing = true;  // Run returns at once and Shutdown saves nothing
        return;
    }
    if (!ChooseFolders()) return;
    // Made on the main thread before any transfer worker can start. A build
    // without the network has none: no update check, no advertisements, no list.
    if (GEMLODE_ONLINE)
        internetManager = std::make_unique<InternetManager>(
            RunFolders().writeFolder, [this](const std::string& line) { Log(line); });
    std::srand(static_cast<unsigned>(Now()));
    LoadRegistrySettings();
    if (windowedThisRun) windowed = *windowedThisRun;
    CreateSound();
    widgetManager = std::make_unique<WidgetManager>(this);
    focusRing = std::make_unique<FocusRing>();
    widgetManager->SetScreenSize(width, height);
    MakeWindow();
    if (!startNotice.empty()) ShowNotice(std::exchange(startNotice, std::string()));
    if (quitRequested) {  // asked while the notice was up: Run returns at once
        closing = true;
        return;
    }
    initialised = true;
    NoteCrashFacts();
}

void VarnApp::CreateSound() {
    musicInterface.reset();
    soundManager.reset();
    audioOutput = std::make_shared<AudioOutput>(platform->CreateAudioDevice());
    soundManager = std::make_unique<MixerSoundManager>(audioOutput);
    SetSfxVolume(settings.sfxVolume);
    musicInterface = std::make_unique<MusicInterface>(audioOutput);
    SetMusicVolume(settings.musicVolume);
}

void VarnApp::SetMusicVolume(double volume) {
    settings.musicVolume = volume;
    if (musicInterface) musicInterface->SetVolume(settings.MusicOutputVolume());
}

void VarnApp::SetSfxVolume(double volume) {
    settings.sfxVolume = volume;
    if (soundManager) soundManager->SetVolume(settings.SfxOutputVolume());
}

void VarnApp::PlaySound(int id) {
    if (!soundManager || id < 0) return;
    if (SoundInstance* instance = soundManager->GetSoundInstance(unsigned(id)))
        instance->Play(false, true);
}

void VarnApp::PlaySound(int id, double pan) {
    if (!soundManager || id < 0) return;
    if (SoundInstance* instance = soundManager->GetSoundInstance(unsigned(id))) {
        instance->SetPan(int(pan));
        instance->Play(false, true);
    }
}

void VarnApp::StartLoadingThread() {
    if (loadingThreadStarted.exchange(true)) return;
    try {
        loadingThread = std::thread([this] {
            ThreadSignalStack signalStack;
            LoadResources();
            loaded = true;
            ResourcesLoaded();
            int64_t now = Now();
            Log(Format("Resource Loading Time: %lld\n", (long long)((now - startTick) / 1000)));
            Log(Format("Resources Loaded: %lld ms\n", (long long)(now - processStartTick)));
            loadingFinished = true;
        });
    } catch (const std::system_error&) {  // no game without its resources
        ShowFatalError("Failed to start loading the game.");
        ExitProcess(1);
    }
}

void VarnApp::WaitForLoadingThread() {
    if (loadingThread.joinable() && std::this_thread::get_id() != loadingThread.get_id())
        loadingThread.join();
}

void VarnApp::Run() {
    if (closing) return;
    StartLoadingThread();
    platform->GetWindow().Show();
    int64_t startedAt = Now();
    running = true;
    updateClock = Now();
    while (!closing) {
        PumpMessages();
        ProcessMessageQueue();
        if (closing) break;
        ++loopCount;
        ProcessFrame(true);
    }
    running = false;
    WaitForLoadingThread();
    ShowPendingFatalErrors();  // one the loading thread reported as the loop ended
    if (logStatistics) WriteStatistics(startedAt);
    HandOverAtExit();
}

void VarnApp::HandOverAtExit() {
    if (exitWasUrlDriven || !internetManager) return;
    internetManager->ShowAdvertisementAtExit(
        [this](const std::string& url) { return platform->GetDesktop().OpenUrl(url); },
        [this] { return NextRandom(); });
}

void VarnApp::WriteStatistics(int64_t startedAt) {
    char seconds[64];
    std::snprintf(seconds, sizeof(seconds), "Seconds       = %g\n", (Now() - startedAt) / 1000.0);
    Log(seconds);
    Log(Format("Count         = %lld\n", loopCount));
    Log(Format("Sleep Count   = %lld\n", sleepCount));
    Log(Format("Update Count  = %lld\n", updateCount));
    Log(Format("Draw Count    = %lld\n", drawCount));
    Log(Format("Draw Time     = %lld\n", drawTime));
    Log(Format("Screen Blt    = %lld\n", presentTime));
    if (drawTime + presentTime > 0)
        Log(Format("Avg FPS       = %lld\n", drawCount * 1000LL / (drawTime + presentTime)));
}

void VarnApp::ProcessFrame(bool allowSleep) {
    // A fatal error is handed over before the quit it requests: read the request first so
    // that its message is never left behind.
    const bool quit = quitRequested;
    ShowPendingFatalErrors();
    if (quit) Shutdown();
    for (int pass = 0; pass < kMaxUpdatesBeforeDraw; ++pass) {
        int64_t now = Now();
        int64_t late = now - updateClock;
        if (late >= updateInterval - 5) {
            ++updatesSinceDraw;
            if (updatesSinceDraw < kMaxUpdatesBeforeDraw) {
                UpdateTick();
                updateClock += updateInterval;
                if (now - updateClock > kMaxCatchUpMs) updateClock = now - kMaxCatchUpMs;
                continue;
            }
        }
        updatesSinceDraw = 0;
        DrawTick();
        int64_t ahead = Now() - updateClock;
        if (allowSleep && ahead < updateInterval) {
            ++sleepCount;
            platform->GetClock().Sleep(int(updateInterval - ahead));
        }
        break;
    }
    DeleteQueuedWidgets();
    platform->GetClock().Sleep(0);
}

void VarnApp::DeleteQueuedWidgets() {
    // A deletion may queue further deletions (a screen deleting its children).
    while (!deletionList.empty()) {
        std::vector<Widget*> doomed;
        doomed.swap(deletionList);
        for (Widget* widget : doomed) delete widget;
    }
}

void VarnApp::UpdateTick() {
    if (musicInterface) musicInterface->UpdateMusic();
    if (internetManager && internetManager->TakeCompletedCheck())
        settings.lastUpdateCheck = std::int64_t(std::time(nullptr));
    if (!windowed && !active) return;
    ++updateCount;
    FollowPad();
    widgetManager->UpdateFrame();
}

void VarnApp::DrawTick() {
    int64_t drawStart = Now();
    bool drew = widgetManager->DrawScreen();
    if (!drew && Now() - lastPresentTick < kPresentAtLeastEveryMs) return;
    ++drawCount;
    int64_t presentStart = Now();
    drawTime += presentStart - drawStart;
    PresentScreen();
    presentTime = Now() - presentStart;
    lastPresentTick = Now();
    if (drawCount == 1)
        Log(Format("First Frame Time: %lld ms\n", (long long)(lastPresentTick - processStartTick)));
}

void VarnApp::PresentScreen() {
    if (closing || !displayDevice) return;
    if (displayDevice->Redraw()) return;
    PlatformWindow& window = platform->GetWindow();
    if (!active || window.IsMinimized()) return;
    // The loading thread reads the images a re-initialisation purges and regenerates: the
    // display is restored once it has finished (the next presentation tries again).
    if (LoadingThreadBusy()) return;
    widgetManager->SetScreenImage(nullptr);
    int result = displayDevice->Init(&window, windowed);
    if (result == RESULT_OK) {
        DropNativeImageData();
        widgetManager->SetScreenImage(displayDevice->GetScreenImage());
        widgetManager->MarkAllDirty();
        updateClock = Now();
    } else if (windowed && result == RESULT_INVALID_COLORDEPTH) {
        SwitchScreenMode(false);
        windowedFailed = true;
    } else {
        platform->GetClock().Sleep(1000);
    }
}

void VarnApp::DropNativeImageData() {
    images.DeleteAllNativeData();
}

std::unique_ptr<DisplayDevice> VarnApp::CreateDisplayDevice() {
    return std::make_unique<DDInterface>(&images, width, height);
}

void VarnApp::SafeDelete(Widget* widget) {
    deletionList.push_back(widget);
}

void VarnApp::ShowFatalError(const std::string& text) {
    if (std::this_thread::get_id() != primaryThreadId) {
        std::lock_guard lock(fatalMutex);
        pendingFatalErrors.push_back(text);
        return;
    }
    if (platform->GetDesktop().ShowMessageBox("FATAL ERROR", text, true)) return;
    ShowInWindow("FATAL ERROR", text);
}

void VarnApp::ShowNotice(const std::string& text) {
    if (platform->GetDesktop().ShowMessageBox(title, text, false)) return;
    if (platform->GetWindow().Exists() || MakeNoticeWindow()) ShowInWindow(title, text);
}

bool VarnApp::MakeNoticeWindow() {
    PlatformWindow& window = platform->GetWindow();
    if (!displayDevice) displayDevice = CreateDisplayDevice();
    return window.Create(title, width, height, false) &&
           displayDevice->Init(&window, true) == RESULT_OK;
}

void VarnApp::ShowPendingFatalErrors() {
    std::vector<std::string> texts;
    {
        std::lock_guard lock(fatalMutex);
        texts.swap(pendingFatalErrors);
    }
    for (const std::string& text : texts) ShowFatalError(text);
}

bool VarnApp::ShowInWindow(const std::string& caption, const std::string& text) {
    PlatformWindow& window = platform->GetWindow();
    Image* screen = displayDevice ? displayDevice->GetScreenImage() : nullptr;
    if (!screen || !window.Exists()) return false;
    FatalScreen fatal(caption, text, width, height);
    window.Show();
    for (;;) {
        fatal.Draw(screen);
        displayDevice->Redraw();
        std::vector<WindowMessage> waiting;
        window.PumpMessages(waiting);
        for (const WindowMessage& message : waiting) {
            // The close box or a signal ends the run, not only the message.
            if (message.message == kMsgClose) quitRequested = true;
            if (fatal.Dismisses(message)) return true;
        }
        platform->GetClock().Sleep(20);
    }
}

void VarnApp::ExitProcess(int code) {
    // Destructors, static ones included, must not run under a loading thread still at work,
    // nor on a half-set-up display: wait for the thread, then end at once.
    WaitForLoadingThread();
    std::fflush(nullptr);
    std::_Exit(code);
}

double VarnApp::GetLoadingProgress() {
    if (loaded) return 1.0;
    int total = loadingTotal;
    if (!loadingThreadStarted || total == 0) return 0.0;
    double progress = double(loadingDone) / total;
    return progress > 1.0 ? 1.0 : progress;
}

void VarnApp::LoadRegistrySettings() {
    std::string root = platform->GetDesktop().ConfigRoot();
    if (registryKey.empty() || root.empty()) return;
    RemoveLeftoverTemporaries(SettingsStore(root).KeyFolder(SettingsKeyPath(registryKey)));
    settings.Load(SettingsStore(root), registryKey, std::int64_t(std::time(nullptr)));
    windowed = settings.windowed;
    windowScale = settings.windowScale;
    fullScreenScaling = settings.fullScreenScaling;
    customCursors = settings.customCursors;
}

void VarnApp::SaveRegistrySettings() {
    ++settingsSaveCount;
    std::string root = platform->GetDesktop().ConfigRoot();
    if (registryKey.empty() || root.empty()) return;
    if (!windowedThisRun || windowed != *windowedThisRun) settings.windowed = windowed;
    settings.customCursors = customCursors;
    settings.windowScale = windowScale;
    settings.fullScreenScaling = fullScreenScaling;
    settings.Save(SettingsStore(root), registryKey, closing);
}

std::string VarnApp::GetAppInfoText() {
    return FormatAppInfoText(productName, productVersion, Now() - startTick, windowed,
                             primaryThreadOsId);
}

namespace {
template <size_t N>
void CopyText(char (&to)[N], const std::string& from) {
    size_t length = std::min(from.size(), N - 1);
    std::memcpy(to, from.data(), length);
    to[length] = 0;
}
}  // namespace

void VarnApp::NoteCrashFacts() {
    CrashAppFacts app;
    app.windowed = windowed ? 1 : 0;
    app.primaryThreadId = primaryThreadOsId;
    CopyText(app.product, productName);
    CopyText(app.version, productVersion);
    DriverNames drivers = platform->GetDesktop().Drivers();
    CopyText(app.videoDriver, drivers.video);
    CopyText(app.audioDriver, drivers.audio);
    CopyText(app.library, drivers.library);
    CrashHandler::AttachApp(app, startMonotonicMs, RunFolders().writeFolder.string());
}

void VarnApp::Shutdown() {
    if (closing.exchange(true)) return;
    if (musicInterface) musicInterface->StopAllMusic();
    // A check still running is given up; one that completed counts as success.
    if (internetManager && internetManager->StopTransfers()) settings.transferSucceeded = true;
    SaveRegistrySettings();
    platform->GetWindow().Minimize();
}

// Hidden, not minimised: the window leaves the screen and the task bar, and the pointer no
// longer reaches the widgets (a press held when hiding is let go).
void VarnApp::HideWindow() {
    PlatformWindow& window = platform->GetWindow();
    window.SetCapture(false);
    window.Hide();
    hidden = true;
}

}  // namespace Varn
