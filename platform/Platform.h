// The seam to the operating system. Everything above platform/ reaches the
// clock, the window, input, message boxes, the browser and the clipboard only
// through these interfaces. Two backends implement them: SDL2 for the game,
// headless for tests (fake clock, scripted messages, recorded boxes and URLs).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/AudioDevice.h"
#include "platform/WindowScale.h"

namespace Varn {

// Window message numbers. The backend turns native events into these records,
// so the application's queue logic stays its own and tests can script it.
enum WindowMessageType : int {
    kMsgMouseMove = 1,    // wparam bit 0: left button held; lparam: x low 16 bits, y high
    kMsgLButtonDown = 2,  // lparam: position
    kMsgLButtonUp = 3,
    kMsgRButtonDown = 4,
    kMsgRButtonUp = 5,
    kMsgKeyDown = 6,  // wparam: key code (8 Backspace, 9 Tab, 13 Enter, 16 Shift, ...)
    kMsgKeyUp = 7,
    kMsgChar = 8,  // wparam: one Latin-1 byte, or a control character
    kMsgClose = 9,
    kMsgActivateApp = 10,  // wparam: 1 active, 0 inactive
    kMsgTimer = 11,        // every 10 ms while the window exists
    kMsgSysKeyDown = 12,   // wparam: key code, with Alt held (Alt+Enter is 13)
    kMsgPaint = 13,        // the window's content was lost and must be presented again
    kMsgMouseWheel = 14,   // wparam: signed steps, positive away from the user
    // Game controllers, all of them as one pad. wparam: a PadButton. The left stick arrives
    // as the d-pad's directions; a direction held repeats its press with lparam 1.
    kMsgPadButtonDown = 15,
    kMsgPadButtonUp = 16,
    kMsgPadAdded = 17,    // wparam: controllers now open
    kMsgPadRemoved = 18,  // wparam: controllers now open
};

// A game controller's buttons, in the common layout (A at the bottom of the face buttons).
enum PadButton : int {
    kPadA = 0,
    kPadB = 1,
    kPadX = 2,
    kPadY = 3,
    kPadBack = 4,
    kPadGuide = 5,
    kPadStart = 6,
    kPadLeftStick = 7,
    kPadRightStick = 8,
    kPadLeftShoulder = 9,
    kPadRightShoulder = 10,
    kPadUp = 11,
    kPadDown = 12,
    kPadLeft = 13,
    kPadRight = 14,
    kPadButtonCount = 15,
};

enum WindowId : int { kMainWindow = 1, kInvisibleWindow = 2 };

struct WindowMessage {
    int window = kMainWindow;
    int message = 0;
    uint32_t wparam = 0;
    int32_t lparam = 0;

    static int32_t PackPoint(int x, int y) {
        return int32_t(uint32_t(uint16_t(x)) | uint32_t(uint16_t(y)) << 16);
    }
    int X() const { return int16_t(uint32_t(lparam) & 0xFFFF); }
    int Y() const { return int16_t(uint32_t(lparam) >> 16); }
};

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds.
    virtual int64_t Milliseconds() = 0;
    virtual void Sleep(int milliseconds) = 0;
    // When the process started, on the Milliseconds() scale; -1 where it is not known.
    virtual int64_t ProcessStartMilliseconds() { return -1; }
};

// Pixel layouts the display can present.
enum class PixelFormat { kRgb565, kXrgb8888 };

struct FrameView {
    const void* pixels = nullptr;
    int pitch = 0;  // bytes per row
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::kXrgb8888;
    // Rows [firstDirtyRow, endDirtyRow) changed since the last presentation;
    // a backend may upload only those.
    int firstDirtyRow = 0;
    int endDirtyRow = 0;
};

enum class SystemCursor { kArrow, kFinger, kText, kDragging };

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Creates the main window with a client area of width x height, windowed or
    // full screen. False if the window system refuses.
    virtual bool Create(const std::string& title, int width, int height, bool fullscreen) = 0;
    virtual void Destroy() = 0;
    virtual bool Exists() const = 0;
    virtual void Show() = 0;
    // Takes the window off the screen (not to the task bar); Show brings it back.
    virtual void Hide() = 0;
    virtual void Minimize() = 0;
    virtual bool IsMinimized() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetIcon(int width, int height, const uint32_t* argbPixels) = 0;

    // Switches the window between full screen and a window in place, keeping it (and its
    // place); false where the backend cannot, and the caller makes the window again.
    virtual bool SetFullscreen(bool fullscreen) = 0;
    // The picture's scale in a window: 0 automatic (the largest that fits the desktop's
    // usable area), 1 ... 8 a chosen scale, never more than fits. Resizes a window at
    // once and holds for windows made later; full screen takes the largest that fits.
    virtual void SetWindowScale(int requested) = 0;
    // The largest window scale that fits the desktop's usable area (at least 1).
    virtual int MaxWindowScale() const = 0;
    // How full screen sizes the picture (whole multiples, the fill or the automatic choice);
    // a full-screen window takes it at once.
    virtual void SetFullScreenScaling(FullScreenScaling scaling) = 0;

    // Bytes per pixel of the desktop (2, 3, 4 or 1), for choosing the depth.
    virtual int DesktopBytesPerPixel() const = 0;
    // Presents a frame; false if the display was lost and must be set up again.
    virtual bool Present(const FrameView& frame) = 0;

    // Appends every waiting message (including timer messages) to out.
    virtual void PumpMessages(std::vector<WindowMessage>& out) = 0;
    // Where the pointer is, in client coordinates, and whether it lies over
    // the client area of the main window.
    virtual bool PointerInClient() = 0;
    virtual void SetCapture(bool capture) = 0;

    virtual void SetSystemCursor(SystemCursor cursor) = 0;
    // The finger and dragging cursors are artwork: 32x32 ARGB, hotspot given.
    virtual void SetCursorImage(SystemCursor cursor, const uint32_t* argbPixels, int hotX,
                                int hotY) = 0;
    virtual void ShowSystemCursor(bool show) = 0;
};

// The drivers behind the window and the sound, and the library providing them.
struct DriverNames {
    std::string video;  // "x11", "wayland"...; "dummy" and "offscreen" have no screen
    std::string audio;
    std::string library;  // "SDL 2.26.5"

    bool HasScreen() const { return !video.empty() && video != "dummy" && video != "offscreen"; }
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // A modal box, on the main thread only; false when it could not be shown (the text
    // then went to stderr).
    virtual bool ShowMessageBox(const std::string& caption, const std::string& text,
                                bool error) = 0;
    // Starts the browser on the URL; false if it could not be started.
    virtual bool OpenUrl(const std::string& url) = 0;
    // True once the opener started by the latest OpenUrl has ended in failure (a non-zero
    // exit status or a signal): no browser is coming. Never blocks.
    virtual bool UrlOpenerFailed() = 0;
    // Byte strings are Latin-1; the backend converts to and from UTF-8.
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::string GetClipboardText() = 0;
    // One line on the log channel (stands in for the debugger output).
    virtual void Log(const std::string& line) = 0;
    // The full path of the running program.
    virtual std::string ProgramPath() = 0;
    // The folder holding the per-user settings; empty when there is none.
    virtual std::string ConfigRoot() = 0;
    // For the crash report.
    virtual DriverNames Drivers() { return {}; }
    // False when the window would show nowhere: no video driver, or one without a screen
    // ("offscreen", "dummy") that the player did not ask for.
    virtual bool DisplayUsable() { return true; }
};

class Platform {
public:
    virtual ~Platform() = default;
    virtual Clock& GetClock() = 0;
    virtual PlatformWindow& GetWindow() = 0;
    virtual Desktop& GetDesktop() = 0;
    // The sound output; it may fail to open (no sound device).
    virtual std::unique_ptr<AudioDevice> CreateAudioDevice() = 0;
};

std::unique_ptr<Platform> CreateSdlPlatform();

}  // namespace Varn
