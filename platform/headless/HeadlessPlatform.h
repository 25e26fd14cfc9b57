// The headless backend, for tests: a fake clock that only moves when the test
// (or a Sleep call) advances it, scripted window messages, counted
// presentations, recorded message boxes, URL opens and log lines, and an
// in-memory clipboard. Everything is plain data the test may read or set.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/HeadlessAudioDevice.h"

namespace Varn {

class FakeClock : public Clock {
public:
    int64_t Milliseconds() override { return now; }
    // Sleeping moves fake time forward, so a loop that sleeps makes progress.
    void Sleep(int milliseconds) override {
        ++sleepCalls;
        if (milliseconds > 0) now += milliseconds;
    }
    void Advance(int64_t milliseconds) { now += milliseconds; }

    // Read by the loading thread too (its log line).
    std::atomic<int64_t> now{1000};
    int sleepCalls = 0;
};

class HeadlessWindow : public PlatformWindow {
public:
    bool Create(const std::string& windowTitle, int w, int h, bool isFullscreen) override;
    void Destroy() override { exists = false; }
    bool Exists() const override { return exists; }
    void Show() override { shown = true; }
    void Hide() override { shown = false; }
    void Minimize() override { minimized = true; }
    bool IsMinimized() const override { return minimized; }
    void SetTitle(const std::string& windowTitle) override { title = windowTitle; }
    void SetIcon(int, int, const uint32_t*) override { hasIcon = true; }

    bool SetFullscreen(bool isFullscreen) override;
    void SetWindowScale(int requested) override { windowScale = requested; }
    int MaxWindowScale() const override { return maxWindowScale; }
    void SetFullScreenScaling(FullScreenScaling scaling) override { fullScreenScaling = scaling; }

    int DesktopBytesPerPixel() const override { return desktopBytesPerPixel; }
    bool Present(const FrameView& frame) override;

    void PumpMessages(std::vector<WindowMessage>& out) override;
    bool PointerInClient() override { return pointerInClient; }
    void SetCapture(bool capture) override { captured = capture; }

    void SetSystemCursor(SystemCursor cursor) override { systemCursor = cursor; }
    void SetCursorImage(SystemCursor, const uint32_t*, int, int) override {}
    void ShowSystemCursor(bool show) override {
        systemCursorShown = show;
        ++showCursorCalls;
    }

    // Scripting: messages delivered at the next pump.
    void Post(const WindowMessage& message) { pending.push_back(message); }
    void PostMouse(int type, int x, int y, bool leftHeld = false);
    void PostKey(int type, int code);
    // A controller button (a PadButton) pressed or released, as the SDL backend reports it.
    void PostPad(int button, bool down);

    std::string title;
    int width = 0;
    int height = 0;
    bool fullscreen = false;
    bool exists = false;
    bool shown = false;
    bool minimized = false;
    bool hasIcon = false;
    int createCount = 0;
    bool refuseCreate = false;
    // Switches in place unless refused; each accepted one is counted.
    bool refuseSwitch = false;
    int switchCount = 0;
    int windowScale = 0;
    int maxWindowScale = 1;
    FullScreenScaling fullScreenScaling = FullScreenScaling::Automatic;
    int desktopBytesPerPixel = 4;
    bool pointerInClient = true;
    bool captured = false;
    SystemCursor systemCursor = SystemCursor::kArrow;
    bool systemCursorShown = true;
    int showCursorCalls = 0;
    int presentCount = 0;
    // Presentations report a lost display this many more times.
    int loseDisplayPresents = 0;
    FrameView lastFrame;
    std::vector<uint8_t> lastPixels;
    bool copyFrames = false;
    // Called from PumpMessages, so a test can react to the loop's progress.
    std::function<void(HeadlessWindow&)> onPump;

private:
    std::deque<WindowMessage> pending;
};

class HeadlessDesktop : public Desktop {
public:
    struct Box {
        std::string caption;
        std::string text;
        bool error;
        std::thread::id thread;  // the thread that showed it
    };
    bool ShowMessageBox(const std::string& caption, const std::string& text, bool error) override {
        boxes.push_back({caption, text, error, std::this_thread::get_id()});
        return boxesShown;
    }
    bool OpenUrl(const std::string& url) override {
        openedUrls.push_back(url);
        openerFailed = false;
        return openSucceeds;
    }
    bool UrlOpenerFailed() override { return openerFailed; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    std::string GetClipboardText() override { return clipboard; }
    // The loading thread logs too.
    void Log(const std::string& line) override {
        std::lock_guard<std::mutex> lock(logMutex);
        logLines.push_back(line);
    }
    std::string ProgramPath() override { return programPath; }
    std::string ConfigRoot() override { return configRoot; }
    DriverNames Drivers() override { return {"headless", "headless", ""}; }
    bool DisplayUsable() override { return displayUsable; }

    std::vector<Box> boxes;
    bool boxesShown = true;  // false: every box fails, as on a server without its fonts
    std::vector<std::string> openedUrls;
    bool openSucceeds = true;
    bool openerFailed = false;  // the latest opener has ended in failure
    std::string clipboard;
    std::mutex logMutex;
    std::vector<std::string> logLines;
    std::string programPath;
    std::string configRoot;  // empty: no settings are read or written
    bool displayUsable = true;
};

class HeadlessPlatform : public Platform {
public:
    Clock& GetClock() override { return clock; }
    PlatformWindow& GetWindow() override { return window; }
    Desktop& GetDesktop() override { return desktop; }
    // A silent sink the test can pull mixed frames from (through `audio`).
    std::unique_ptr<AudioDevice> CreateAudioDevice() override {
        auto device = std::make_unique<HeadlessAudioDevice>(audioAvailable);
        audio = device.get();
        return device;
    }

    FakeClock clock;
    bool audioAvailable = true;
    HeadlessAudioDevice* audio = nullptr;
    HeadlessWindow window;
    HeadlessDesktop desktop;
};

}  // namespace Varn
