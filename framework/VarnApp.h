// VarnApp: the application object of the framework. It owns the window, the
// display device, the widget manager and the registered dialogs, runs the main
// loop (100 updates a second, at most one drawing pass per loop pass, sleeping
// when ahead), turns window messages into widget input, keeps the dialog
// registry, opens URLs and reports fatal errors. The game derives from it.
//
// Threads: the main thread runs everything except LoadResources and
// ResourcesLoaded, which run once on the loading thread; the two share only
// the atomic loaded flag and loading counters (and what the game shares).
// The display is never re-initialised while the loading thread works (it
// reads the images a re-initialisation purges); a fatal error reported on the
// loading thread is handed to the main thread, which shows it.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "framework/AppSettings.h"
#include "graphics/ImageRegistry.h"
#include "platform/GameFolders.h"
#include "platform/InstanceLock.h"
#include "platform/Platform.h"
#include "widgets/ButtonListener.h"
#include "widgets/WidgetHost.h"

namespace Varn {

class AudioOutput;
class Dialog;
class MusicInterface;
class SoundManager;
class DisplayDevice;
class FocusRing;
class Image;
class InternetManager;
class Widget;
class WidgetManager;

class VarnApp : public ButtonListener, public WidgetHost {
public:
    // The platform is not owned; it must outlive the application.
    explicit VarnApp(Platform* platform);
    ~VarnApp() override;
    VarnApp(const VarnApp&) = delete;
    VarnApp& operator=(const VarnApp&) = delete;

    virtual void ProcessFrame(bool allowSleep);
    virtual void UpdateTick();
    virtual void DrawTick();
    virtual void MakeWindow();
    virtual void ApplyCursor();
    virtual void PresentScreen();
    virtual void DropNativeImageData();
    virtual void LoadResources() {}
    virtual void ResourcesLoaded() {}
    // Shows the modal "FATAL ERROR" box and returns after the player's OK. From another
    // thread the text is handed to the main thread, which shows it at its next loop pass.
    virtual void ShowFatalError(const std::string& text);
    void SafeDelete(Widget* widget) override;
    // Dialogs forward their buttons to the application's ButtonListener operations.
    ButtonListener* GetButtonListener() override { return this; }
    virtual void BrowserOpenFailed(const std::string& url);
    virtual void BrowserReturned(const std::string& url);
    virtual bool OpenBrowser(const std::string& url, bool quitAfter);
    virtual std::string GetProductVersion(const std::string& path);
    virtual void SaveRegistrySettings();
    virtual void LoadRegistrySettings();
    virtual void HideWindow();
    virtual std::string GetAppInfoText();
    virtual void Shutdown();
    virtual void Run();
    virtual void Init();
    virtual void PlaySound(int id, double pan);
    virtual void PlaySound(int id);
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume);
    virtual double GetMusicVolume() { return settings.musicVolume; }
    virtual double GetSfxVolume() { return settings.sfxVolume; }
    virtual double GetLoadingProgress();
    virtual void SwitchScreenMode(bool toWindowed);
    // The player's window scale (0 automatic, 1 ... 8): kept, and applied to the window.
    void SetWindowScale(int requested);
    int RequestedWindowScale() const { return windowScaleThisRun.value_or(windowScale); }
    // How full screen sizes the picture; a setting, applied at once.
    void SetFullScreenScaling(FullScreenScaling scaling);
    FullScreenScaling GetFullScreenScaling() const { return fullScreenScaling; }
    virtual Dialog* CreateDialog(int id, bool modal, const std::string& header,
                                 const std::string& body, const std::string& footer,
                                 int buttonMode);
    virtual Dialog* ShowDialog(int id, bool modal, const std::string& header,
                               const std::string& body, const std::string& footer, int buttonMode);
    virtual Dialog* GetDialog(int id);
    virtual void AddDialog(int id, Dialog* dialog);
    virtual bool CloseDialog(int id);
    virtual int GetDialogCount();
    // The open modal dialogs, lowest first (the top one is the modal widget).
    const std::vector<Dialog*>& GetModalDialogs() const { return modalDialogs; }
    // The window's close box: the game may save first and ask when that fails.
    virtual void QuitFromWindow() { Shutdown(); }
    virtual void ModalDialogOpened() {}
    virtual void ModalDialogsClosed() {}
    // After the main loop, unless the exit was URL-driven: the internet
    // manager may show a pending advertisement.
    void HandOverAtExit();
    // The random source of the run (the game supplies its own).
    virtual int NextRandom() { return std::rand(); }

    // Game controllers (VarnAppPad.cpp). A pad button arrives here once the focus ring was
    // shown or hidden for it; the framework's answer steers the focus ring: directions and
    // shoulders move it (left and right move a framed slider instead), A presses its button,
    // B in a dialog is the Escape key.
    virtual void PadButtonDown(int button, bool repeat);
    // True while the game itself takes the pad's directions, A and B (a board, say): the
    // focus ring then stays hidden.
    virtual bool PadOnPlayArea() { return false; }
    // The pointer moved: the pad is no longer what the player uses.
    virtual void PointerMoved() {}
    FocusRing& GetFocusRing() { return *focusRing; }

    // The input the player used last. Prompts name the controller's buttons while it is the
    // pad; the focus ring shows for the pad, and for the keyboard once Tab called it.
    enum class InputDevice { kPointer, kKeyboard, kPad };
    InputDevice InputInUse() const { return inputInUse; }
    bool PadInUse() const { return inputInUse == InputDevice::kPad; }
    // The input in use became the pad or stopped being it: texts that name buttons change.
    virtual void PadPromptsChanged() {}
    // A key before the widgets see it (VarnAppKeys.cpp): Tab and Shift+Tab call the focus
    // ring and move it, Enter presses what it frames, Left and Right move a framed slider.
    // True when the key was taken; its character then goes nowhere either.
    virtual bool TakeKey(int keyCode);
    // The main window gained or lost the keyboard focus (it was minimised, say).
    virtual void ActivationChanged(bool) {}

    // Cursors and clipboard.
    void SetCursorKind(int kind) override;
    void SetCursorKindImage(int kind, Image* image);
    void SetCustomCursors(bool on);
    void CopyToClipboard(const std::string& text) override;
    std::string GetClipboardText() override;

    // Creates the display device: 16- or 32-bit surfaces presented to the window.
    virtual std::unique_ptr<DisplayDevice> CreateDisplayDevice();
    // Ends the process after a fatal error (tests override it): the loading thread is
    // waited for, then the process ends without running destructors.
    virtual void ExitProcess(int code);
    // True while the loading thread runs (main thread only).
    bool LoadingThreadBusy() const { return loadingThread.joinable() && !loadingFinished; }
    // Takes every waiting window message, answering some at once and queuing
    // the input ones; then processes the queue.
    void PumpMessages();
    void ProcessMessageQueue();
    void Log(const std::string& line);
    int64_t Now() { return platform->GetClock().Milliseconds(); }

    WidgetManager* GetWidgetManager() { return widgetManager.get(); }
    DisplayDevice* GetDisplayDevice() { return displayDevice.get(); }
    ImageRegistry* GetImageRegistry() { return &images; }
    Platform* GetPlatform() { return platform; }
    SoundManager* GetSoundManager() { return soundManager.get(); }
    MusicInterface* GetMusicInterface() { return musicInterface.get(); }
    InternetManager* GetInternetManager() { return internetManager.get(); }

    // Identity.
    std::string productName = "Product";
    std::string title = "VarnApp";
    std::string registryKey;
    std::string productVersion;
    std::thread::id primaryThreadId;
    uint32_t primaryThreadOsId = 0;  // the kernel's id, as the crash report shows threads
    int64_t startTick = 0;
    // The process's start on the same clock (the start tick where the platform cannot tell):
    // the start-up times in milliseconds count from it.
    int64_t processStartTick = 0;

    int width = 640;
    int height = 480;
    bool windowed = true;
    std::atomic<bool> closing{false};
    std::atomic<bool> quitRequested{false};  // also set by the loading thread
    bool hidden = false;
    bool windowedFailed = false;
    bool fullScreenFailed = false;
    bool initialised = false;
    bool running = false;
    bool active = true;
    bool exitWasUrlDriven = false;
    // --windowed / --fullscreen: this run's mode, not saved unless the player
    // switches away from it.
    std::optional<bool> windowedThisRun;
    // The window's picture scale as saved (0 automatic, 1 ... 8), and --scale's for this run.
    int windowScale = 0;
    std::optional<int> windowScaleThisRun;
    FullScreenScaling fullScreenScaling = FullScreenScaling::Automatic;
    // Another copy holds the instance lock: Init stopped early, nothing is saved.
    bool anotherCopyRunning = false;

    // Loop timing and statistics; the statistics go to the log at exit only when
    // GEMLODE_STATISTICS is set (to anything but "" or "0").
    bool logStatistics = false;
    int updateInterval = 10;
    int64_t updateClock = 0;
    int updatesSinceDraw = 0;
    int loopCount = 0;
    int sleepCount = 0;
    int updateCount = 0;
    int drawCount = 0;
    int64_t drawTime = 0;
    int64_t presentTime = 0;
    int64_t lastPresentTick = 0;

    // Loading thread.
    std::atomic<bool> loadingThreadStarted{false};
    std::atomic<bool> loaded{false};
    std::atomic<int> loadingTotal{0};
    std::atomic<int> loadingDone{0};
    std::atomic<bool> loadingFinished{false};
    // What the program returns: 1 after a fatal error.
    std::atomic<int> exitCode{0};

    // Browser.
    bool urlOpenPending = false;
    bool quitAfterUrl = false;
    std::string pendingUrl;
    int64_t urlRequestTick = 0;
    int64_t lastTimerTick = 0;
    int64_t lastStallTick = 0;

    // Cursors.
    int cursorKind = 0;
    Image* cursorImages[4] = {nullptr, nullptr, nullptr, nullptr};
    bool customCursors = false;
    bool systemCursorShown = true;
    bool mouseInClient = false;

    // Volumes, mute, play count and the other stored values; windowed and
    // custom cursors live in the fields above and are copied in and out.
    AppSettings settings;
    int settingsSaveCount = 0;

protected:
    // Decides the data and write folders, takes the instance lock and changes to
    // the data folder. False when another copy of the game runs for this player.
    bool ChooseFolders();
    // What the folder choice depends on (tests stand in for permissions).
    virtual FolderInputs ReadFolderInputs();
    void HandleDisplayResult(int result);
    void InitDisplay();
    void DeleteQueuedWidgets();
    void WriteStatistics(int64_t startedAt);
    void StartLoadingThread();
    void WaitForLoadingThread();
    void ShowPendingFatalErrors();
    // A message in the game's window, when the system's box failed; false when there is
    // no window to show it in. A close request while it is up also sets quitRequested.
    bool ShowInWindow(const std::string& caption, const std::string& text);
    // A notice the player must see: the system's box, else the game's own window (one is
    // made for it when there is none yet).
    void ShowNotice(const std::string& text);
    bool MakeNoticeWindow();
    void CreateSound();
    void ProcessTimer();
    void DispatchMessage(const WindowMessage& message);
    void ProcessQueuedMessage(const WindowMessage& message);
    void ProcessPadMessage(const WindowMessage& message);
    // Shows the focus ring while the pad is in use (or the keyboard called it) and the game
    // does not take that input.
    void FollowPad();
    void UseInput(InputDevice device);
    // A key press as the keyboard gives it (down, character, up), through the queue; marked
    // (lparam kKeyFromPad) so that it does not make the keyboard the input in use.
    void QueueKeyPress(int keyCode);
    static constexpr int32_t kKeyFromPad = 1;
    // Hands the crash handler a fresh copy of what a crash report says about the application.
    void NoteCrashFacts();

    Platform* platform;
    ImageRegistry images;
    std::unique_ptr<WidgetManager> widgetManager;
    std::unique_ptr<DisplayDevice> displayDevice;
    std::shared_ptr<AudioOutput> audioOutput;
    std::unique_ptr<SoundManager> soundManager;
    std::unique_ptr<MusicInterface> musicInterface;
    std::unique_ptr<InternetManager> internetManager;
    std::map<int, Dialog*> dialogs;
    std::vector<Dialog*> modalDialogs;  // in opening order
    std::vector<WindowMessage> messageQueue;
    std::vector<Widget*> deletionList;
    std::thread loadingThread;
    InstanceLock instanceLock;
    int64_t startMonotonicMs = 0;
    std::mutex fatalMutex;
    std::vector<std::string> pendingFatalErrors;
    std::unique_ptr<FocusRing> focusRing;
    InputDevice inputInUse = InputDevice::kPointer;
    bool ringCalledByKeys = false;  // Tab showed the ring; the pointer or the pad ends that
    int takenKeyChar = -1;          // the character of the key TakeKey took, still to come
    // Found before the window exists; shown once it does.
    std::string startNotice;
};

}  // namespace Varn
