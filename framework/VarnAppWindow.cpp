// VarnApp and the window system: creating the window and display, switching
// screen modes, the window messages and their queue, cursors, the clipboard
// and opening URLs in the browser.
#include <sstream>
#include <utility>
#include <vector>

#include "framework/VarnApp.h"
#include "graphics/DisplayDevice.h"
#include "graphics/ImageLoader.h"
#include "platform/RegularFile.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kBrowserGiveUpMs = 8000;
constexpr int kBrowserQuietMs = 5000;
constexpr int kTimerStallMs = 500;
constexpr int kEnterKey = 13;
constexpr int kCursorSide = 32;

// Packed pixels (alpha, blue, green, red from the top byte down) as the window system's ARGB.
std::vector<uint32_t> ToArgb(const DecodedImage& image) {
    std::vector<uint32_t> argb(std::size_t(image.width) * image.height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        uint32_t p = image.pixels[i];
        argb[i] = (p & 0xFF00FF00u) | (p & 0xFF) << 16 | (p >> 16 & 0xFF);
    }
    return argb;
}

// The hot spot of a resource cursor from resources/cursors.txt ("name x y" lines); the
// centre when the file or the line is missing or out of range.
void CursorHotSpot(const std::string& name, int& x, int& y) {
    x = kCursorSide / 2;
    y = kCursorSide / 2;
    std::string text;
    ReadRegularFile("resources/cursors.txt", 1 << 16, text);  // missing or refused: centres
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string key;
        int hx = -1;
        int hy = -1;
        if (fields >> key >> hx >> hy && key == name && hx >= 0 && hy >= 0 && hx < kCursorSide &&
            hy < kCursorSide) {
            x = hx;
            y = hy;
        }
    }
}

// The window icon and the finger and dragging cursors, drawn by the game-data generator
// into resources/. A missing or unusable picture leaves the system's own in place.
void LoadWindowResources(PlatformWindow& window) {
    if (auto icon = LoadPNGImage("resources/IDI_MAIN_ICON.png")) {
        std::vector<uint32_t> argb = ToArgb(*icon);
        window.SetIcon(icon->width, icon->height, argb.data());
    }
    const std::pair<const char*, SystemCursor> cursors[] = {
        {"IDC_FINGER", SystemCursor::kFinger}, {"IDC_DRAGGING", SystemCursor::kDragging}};
    for (const auto& [name, kind] : cursors) {
        auto picture = LoadPNGImage(std::string("resources/") + name + ".png");
        if (!picture || picture->width != kCursorSide || picture->height != kCursorSide) continue;
        int x = 0;
        int y = 0;
        CursorHotSpot(name, x, y);
        std::vector<uint32_t> argb = ToArgb(*picture);
        window.SetCursorImage(kind, argb.data(), x, y);
    }
}
}  // namespace

// ---- window and display ----

void VarnApp::MakeWindow() {
    PlatformWindow& window = platform->GetWindow();
    if (window.Exists()) {
        window.Minimize();
        window.Destroy();
        widgetManager->SetScreenImage(nullptr);
    }
    if (!displayDevice) displayDevice = CreateDisplayDevice();
    window.SetWindowScale(RequestedWindowScale());
    window.SetFullScreenScaling(fullScreenScaling);
    if (!window.Create(title, width, height, !windowed)) {
        // A full-screen window the system refuses is a failed display change: fall back.
        if (!windowed) {
            HandleDisplayResult(RESULT_DISPCHANGE_FAIL);
            return;
        }
        ShowFatalError("Failed to create the main window.");
        ExitProcess(1);
        return;
    }
    LoadWindowResources(window);
    InitDisplay();
}

// The display set up for the current mode on the existing window.
void VarnApp::InitDisplay() {
    widgetManager->SetScreenImage(nullptr);
    int result = displayDevice->Init(&platform->GetWindow(), windowed);
    if (result != RESULT_OK) {
        HandleDisplayResult(result);
        return;
    }
    widgetManager->SetScreenImage(displayDevice->GetScreenImage());
    widgetManager->MarkAllDirty();
}

// Falls back between the modes, or stops with a fatal message.
void VarnApp::HandleDisplayResult(int result) {
    if (windowed && result == RESULT_INVALID_COLORDEPTH) {
        if (fullScreenFailed) {
            ShowFatalError("Please set your desktop color depth to 16 bit.");
            ExitProcess(1);
            return;
        }
        windowed = false;
        windowedFailed = true;
        MakeWindow();
        return;
    }
    if (!windowed && (result == RESULT_EXCLUSIVE_FAIL || result == RESULT_DISPCHANGE_FAIL)) {
        windowed = true;
        fullScreenFailed = true;
        MakeWindow();
        return;
    }
    ShowFatalError("Failed to initialize DirectDraw: " + displayDevice->ResultToString(result));
    ExitProcess(1);
}

void VarnApp::SwitchScreenMode(bool toWindowed) {
    if (toWindowed == windowed) return;
    // A new display purges the images the loading thread may still be reading.
    WaitForLoadingThread();
    windowed = toWindowed;
    // The window stays where the backend can switch it in place (a window system may not
    // survive a second window of the process); elsewhere it is made again.
    PlatformWindow& window = platform->GetWindow();
    if (window.Exists() && window.SetFullscreen(!windowed)) {
        InitDisplay();
    } else {
        Log("Full-screen switch: the window is made again\n");
        MakeWindow();
    }
    window.Show();
    DropNativeImageData();
    updateClock = Now();
    NoteCrashFacts();
}

void VarnApp::SetWindowScale(int requested) {
    windowScale = requested;
    windowScaleThisRun.reset();
    platform->GetWindow().SetWindowScale(requested);
}

void VarnApp::SetFullScreenScaling(FullScreenScaling scaling) {
    fullScreenScaling = scaling;
    platform->GetWindow().SetFullScreenScaling(scaling);
    widgetManager->MarkAllDirty();
}

// ---- messages ----

void VarnApp::PumpMessages() {
    std::vector<WindowMessage> waiting;
    platform->GetWindow().PumpMessages(waiting);
    for (const WindowMessage& message : waiting) {
        if (closing) break;
        DispatchMessage(message);
    }
}

// What the window procedure answers at once; input is queued for the loop.
void VarnApp::DispatchMessage(const WindowMessage& message) {
    switch (message.message) {
        case kMsgPaint:
            if (initialised && !hidden && running) PresentScreen();
            return;
        case kMsgActivateApp:
            if (message.window == kMainWindow) active = message.wparam != 0;
            break;
        case kMsgSysKeyDown:
            if (message.wparam == kEnterKey) {
                if (!windowedFailed && !fullScreenFailed && loaded && !LoadingThreadBusy())
                    SwitchScreenMode(!windowed);
            } else if (!hidden) {
                ApplyCursor();
            }
            return;
        default:
            break;
    }
    messageQueue.push_back(message);
}

void VarnApp::ProcessMessageQueue() {
    std::vector<WindowMessage> queue;
    queue.swap(messageQueue);
    for (const WindowMessage& message : queue) ProcessQueuedMessage(message);
}

void VarnApp::ProcessQueuedMessage(const WindowMessage& message) {
    PlatformWindow& window = platform->GetWindow();
    switch (message.message) {
        case kMsgMouseMove:
            if (hidden) return;
            UseInput(InputDevice::kPointer);
            if (message.wparam & 1)
                widgetManager->MouseDrag(message.X(), message.Y());
            else
                widgetManager->MouseMove(message.X(), message.Y());
            if (!mouseInClient) {
                mouseInClient = true;
                ApplyCursor();
            }
            return;
        case kMsgLButtonDown:
        case kMsgRButtonDown:
            if (hidden) return;
            UseInput(InputDevice::kPointer);
            widgetManager->MouseDown(message.X(), message.Y(),
                                     message.message == kMsgLButtonDown ? 1 : -1);
            window.SetCapture(true);
            return;
        case kMsgLButtonUp:
        case kMsgRButtonUp:
            if (hidden) return;
            widgetManager->MouseUp(message.X(), message.Y());
            window.SetCapture(false);
            return;
        case kMsgKeyDown:
            if (message.lparam != kKeyFromPad) {
                UseInput(InputDevice::kKeyboard);
                takenKeyChar = TakeKey(int(message.wparam)) ? int(message.wparam) : -1;
                if (takenKeyChar >= 0) return;
            }
            widgetManager->KeyDown(int(message.wparam));
            return;
        case kMsgKeyUp:
            widgetManager->KeyUp(int(message.wparam));
            return;
        case kMsgChar:
            if (int(message.wparam & 0xFF) == std::exchange(takenKeyChar, -1)) return;
            widgetManager->KeyChar(char(message.wparam & 0xFF));
            return;
        case kMsgClose:
            // The invisible window's close is a signal's quit: nobody is there to ask.
            if (message.window == kMainWindow)
                QuitFromWindow();
            else if (message.window == kInvisibleWindow)
                Shutdown();
            return;
        case kMsgActivateApp:
            if (message.window != kMainWindow || hidden || closing) return;
            if (message.wparam) {
                widgetManager->AppGotFocus();
                if (!windowed) widgetManager->MarkAllDirty();
            } else {
                widgetManager->AppLostFocus();
                if (urlOpenPending) BrowserReturned(pendingUrl);
            }
            ActivationChanged(message.wparam != 0);
            return;
        case kMsgTimer:
            if (!hidden && running) ProcessTimer();
            return;
        case kMsgPadButtonDown:
        case kMsgPadAdded:
        case kMsgPadRemoved:
            ProcessPadMessage(message);
            return;
        default:
            return;
    }
}

void VarnApp::ProcessTimer() {
    int64_t now = Now();
    if (now - lastTimerTick > kTimerStallMs) lastStallTick = now;
    lastTimerTick = now;
    // An opener that failed is a failed open at once; otherwise time decides.
    if (urlOpenPending &&
        (platform->GetDesktop().UrlOpenerFailed() ||
         (now - urlRequestTick > kBrowserGiveUpMs && now - lastStallTick > kBrowserQuietMs)))
        BrowserOpenFailed(pendingUrl);
    bool inClient = platform->GetWindow().PointerInClient();
    if (inClient == mouseInClient) return;
    if (!inClient) widgetManager->MouseExit();
    mouseInClient = inClient;
    ApplyCursor();
}

// ---- cursors ----

void VarnApp::ApplyCursor() {
    PlatformWindow& window = platform->GetWindow();
    Image* image = cursorImages[cursorKind];
    bool showSystem = true;
    if (mouseInClient && image && customCursors) {
        widgetManager->SetCursorImage(image);
        showSystem = false;
    } else {
        static constexpr SystemCursor kByKind[] = {SystemCursor::kArrow, SystemCursor::kFinger,
                                                   SystemCursor::kDragging, SystemCursor::kText};
        window.SetSystemCursor(mouseInClient ? kByKind[cursorKind] : SystemCursor::kArrow);
        widgetManager->SetCursorImage(nullptr);
    }
    if (showSystem != systemCursorShown) {
        systemCursorShown = showSystem;
        window.ShowSystemCursor(showSystem);
    }
}

void VarnApp::SetCursorKind(int kind) {
    // Kinds beyond text fall back to the dragging cursor, as the system cursors do.
    cursorKind = kind >= 0 && kind <= 3 ? kind : 2;
    ApplyCursor();
}

void VarnApp::SetCursorKindImage(int kind, Image* image) {
    if (kind < 0 || kind > 3) return;
    cursorImages[kind] = image;
    ApplyCursor();
}

void VarnApp::SetCustomCursors(bool on) {
    customCursors = on;
    ApplyCursor();
}

// ---- clipboard and browser ----

void VarnApp::CopyToClipboard(const std::string& text) {
    platform->GetDesktop().SetClipboardText(text);
}

std::string VarnApp::GetClipboardText() {
    return platform->GetDesktop().GetClipboardText();
}

bool VarnApp::OpenBrowser(const std::string& url, bool quitAfter) {
    if (urlOpenPending && pendingUrl == url) return true;
    quitAfterUrl = quitAfter;
    urlOpenPending = true;
    pendingUrl = url;
    urlRequestTick = Now();
    if (!platform->GetDesktop().OpenUrl(url)) {
        BrowserOpenFailed(url);
        return false;
    }
    return true;
}

void VarnApp::BrowserOpenFailed(const std::string&) {
    urlOpenPending = false;
}

void VarnApp::BrowserReturned(const std::string&) {
    urlOpenPending = false;
    if (quitAfterUrl) {
        exitWasUrlDriven = true;
        Shutdown();
    }
}

}  // namespace Varn
