#include "platform/sdl/SdlWindow.h"

#include <algorithm>
#include <cstdio>

#include "platform/Latin1.h"
#include "platform/RowScale.h"
#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlSharedFiles.h"
#include "platform/sdl/SdlX11Geometry.h"

namespace Varn {

namespace {
constexpr int kTimerPeriodMs = 10;
constexpr int kAltKeyCode = 18;
constexpr int kCursorSide = 32;

WindowMessage Message(int type, uint32_t wparam = 0, int32_t lparam = 0) {
    WindowMessage m;
    m.window = kMainWindow;
    m.message = type;
    m.wparam = wparam;
    m.lparam = lparam;
    return m;
}

}  // namespace

SdlWindow::SdlWindow() : padScript(SdlPadScript::FromEnvironment()) {
    cursors[0] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    cursors[1] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    cursors[2] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_SIZEALL);
    cursors[3] = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_IBEAM);
}

SdlWindow::~SdlWindow() {
    Destroy();
    for (SDL_Cursor* cursor : cursors)
        if (cursor) SDL_FreeCursor(cursor);
}

bool SdlWindow::Create(const std::string& title, int width, int height, bool fullscreen) {
    Destroy();
    logicalWidth = width;
    logicalHeight = height;
    int scale = ChosenWindowScale();
    // A full-screen window is made with its windowed size, which leaving full screen restores.
    Uint32 flags = SDL_WINDOW_HIDDEN | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    int position = fullscreen ? int(SDL_WINDOWPOS_UNDEFINED) : WindowPosition(scale);
    window = SDL_CreateWindow(Latin1ToUtf8(title).c_str(), position, position, width * scale,
                              height * scale, flags);
    if (!window) return false;
    fullscreenNow = fullscreen;
    PlaceInWindow();
    if (!ChoosePresentation()) {
        Destroy();
        return false;
    }
    SDL_StartTextInput();
    displayLost = false;
    rendererLost = false;
    return true;
}

bool SdlWindow::SetFullscreen(bool fullscreen) {
    if (!window) return false;
    if (fullscreen && !fullscreenNow) RememberWindowedPosition();
    if (SDL_SetWindowFullscreen(window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "Full-screen switch refused (%s): making the window again\n",
                     SDL_GetError());
        return false;
    }
    fullscreenNow = fullscreen;
    if (!fullscreen) {
        int scale = ChosenWindowScale();
        SDL_SetWindowSize(window, logicalWidth * scale, logicalHeight * scale);
        if (windowedPositionKnown) SDL_SetWindowPosition(window, windowedX, windowedY);
    }
    AlignX11Geometry(window);
    windowSurface = nullptr;
    PlaceInWindow();
    SetRendererScaling();
    return true;
}

void SdlWindow::RememberWindowedPosition() {
    windowedPositionKnown = X11WindowPosition(window, windowedX, windowedY);
    if (!windowedPositionKnown) {
        SDL_GetWindowPosition(window, &windowedX, &windowedY);
        windowedPositionKnown = true;
    }
}

void SdlWindow::SetFullScreenScaling(FullScreenScaling scaling) {
    fullScreenScaling = scaling;
    if (!window || !fullscreenNow) return;
    windowSurface = nullptr;
    PlaceInWindow();
}

void SdlWindow::SetWindowScale(int requested) {
    requestedScale = requested;
    if (!window || fullscreenNow) return;
    int scale = ChosenWindowScale();
    SDL_SetWindowSize(window, logicalWidth * scale, logicalHeight * scale);
    int position = WindowPosition(scale);
    SDL_SetWindowPosition(window, position, position);
    windowSurface = nullptr;
    PlaceInWindow();
    SetRendererScaling();
}

// The usable area of the window's display (the desktop less panels and docks); 0 x 0
// where SDL cannot tell, which leaves the scale at 1.
SDL_Rect SdlWindow::UsableArea() const {
    SDL_Rect usable{};
    int display = window ? std::max(SDL_GetWindowDisplayIndex(window), 0) : 0;
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) return SDL_Rect{};
    return usable;
}

// Near the top left corner (64, 64) where the window and its frame fit there, else centred
// (a large window must not hang off the screen).
int SdlWindow::WindowPosition(int scale) const {
    constexpr int kCorner = 64;
    SDL_Rect usable = UsableArea();
    bool fits = usable.x + usable.w >= kCorner + logicalWidth * scale + kFrameRoomWidth &&
                usable.y + usable.h >= kCorner + logicalHeight * scale + kFrameRoomHeight;
    return fits ? kCorner : int(SDL_WINDOWPOS_CENTERED);
}

int SdlWindow::MaxWindowScale() const {
    SDL_Rect usable = UsableArea();
    return LargestWindowScale(usable.w, usable.h, logicalWidth, logicalHeight);
}

int SdlWindow::ChosenWindowScale() const {
    SDL_Rect usable = UsableArea();
    return ChooseWindowScale(requestedScale, usable.w, usable.h, logicalWidth, logicalHeight);
}

void SdlWindow::PlaceInWindow() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    PlaceIn(width, height);
}

// Full screen on a 32-bit window surface may take the fill; anything else whole multiples
// (a renderer scales by itself).
void SdlWindow::PlaceIn(int outputWidth, int outputHeight) {
    FullScreenScaling scaling = fullscreenNow && useWindowSurface && surfaceBytes == 4
                                    ? fullScreenScaling
                                    : FullScreenScaling::WholeMultiples;
    placement =
        PlaceFullScreenPicture(outputWidth, outputHeight, logicalWidth, logicalHeight, scaling);
    if (placement.fill &&
        (fill.ShownWidth() != placement.shownWidth || fill.ShownHeight() != placement.shownHeight))
        fill =
            PictureFill(logicalWidth, logicalHeight, placement.shownWidth, placement.shownHeight);
    std::string text = PlacementText();
    if (text != placementLogged) std::fprintf(stderr, "Picture: %s\n", text.c_str());
    placementLogged = text;
    // The cursors follow the picture to the nearest whole scale.
    int scale = placement.fill
                    ? std::max(1, (placement.shownHeight + logicalHeight / 2) / logicalHeight)
                    : placement.scale;
    if (scale == cursorScale) return;
    cursorScale = scale;
    for (int kind : {1, 2}) MakeCursor(static_cast<SystemCursor>(kind));
    SetSystemCursor(currentCursor);
}

std::string SdlWindow::PlacementText() const {
    if (!placement.fill) return "scale " + std::to_string(placement.scale);
    return "fill " + std::to_string(placement.shownWidth) + "x" +
           std::to_string(placement.shownHeight);
}

// A renderer maps the pointer to its logical size itself; the window surface shows the
// picture by the placement.
int32_t SdlWindow::PicturePoint(int windowX, int windowY) const {
    if (renderer) return WindowMessage::PackPoint(windowX, windowY);
    return WindowMessage::PackPoint(placement.ToPictureX(windowX), placement.ToPictureY(windowY));
}

void SdlWindow::Destroy() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    texture = nullptr;
    renderer = nullptr;
    window = nullptr;
    windowSurface = nullptr;
}

void SdlWindow::Show() {
    if (!window) return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    if (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) AlignX11Geometry(window);
}

void SdlWindow::Hide() {
    if (window) SDL_HideWindow(window);
}

bool SdlWindow::IsHidden() const {
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_HIDDEN);
}

void SdlWindow::Minimize() {
    if (window) SDL_MinimizeWindow(window);
}

bool SdlWindow::IsMinimized() const {
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

void SdlWindow::SetTitle(const std::string& title) {
    if (window) SDL_SetWindowTitle(window, Latin1ToUtf8(title).c_str());
}

void SdlWindow::SetIcon(int width, int height, const uint32_t* argbPixels) {
    if (!window || !argbPixels) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(argbPixels), width, height, 32, width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

int SdlWindow::DesktopBytesPerPixel() const {
    SDL_DisplayMode mode;
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 4;
    return SDL_BYTESPERPIXEL(mode.format);
}

void SdlWindow::PumpMessages(std::vector<WindowMessage>& out) {
    if (padScript) padScript->Feed();
    SDL_Event event;
    uint64_t now = SDL_GetTicks64();
    while (SDL_PollEvent(&event))
        if (!controllers.Translate(event, int64_t(now), out)) TranslateEvent(event, out);
    controllers.Tick(int64_t(now), out);
    if (window && now - lastTimerTick >= kTimerPeriodMs) {
        lastTimerTick = now;
        out.push_back(Message(kMsgTimer, 100));
    }
}

void SdlWindow::TranslateEvent(const SDL_Event& event, std::vector<WindowMessage>& out) {
    switch (event.type) {
        case SDL_QUIT: {
            WindowMessage close = Message(kMsgClose);
            close.window = kInvisibleWindow;
            out.push_back(close);
            break;
        }
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) out.push_back(Message(kMsgClose));
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED)
                out.push_back(Message(kMsgActivateApp, 1));
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                out.push_back(Message(kMsgActivateApp, 0));
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                windowSurface = nullptr;
                PlaceInWindow();
                out.push_back(Message(kMsgPaint));
            }
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                // The server dropped the window's pixels: the next presentation sends all rows.
                windowSurface = nullptr;
                out.push_back(Message(kMsgPaint));
            }
            break;
        case SDL_RENDER_TARGETS_RESET:
            displayLost = true;
            break;
        case SDL_RENDER_DEVICE_RESET:
            displayLost = true;
            rendererLost = true;
            break;
        case SDL_MOUSEMOTION: {
            uint32_t leftHeld = (event.motion.state & SDL_BUTTON_LMASK) ? 1 : 0;
            out.push_back(
                Message(kMsgMouseMove, leftHeld, PicturePoint(event.motion.x, event.motion.y)));
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            bool down = event.type == SDL_MOUSEBUTTONDOWN;
            int32_t at = PicturePoint(event.button.x, event.button.y);
            if (event.button.button == SDL_BUTTON_LEFT)
                out.push_back(Message(down ? kMsgLButtonDown : kMsgLButtonUp, 0, at));
            if (event.button.button == SDL_BUTTON_RIGHT)
                out.push_back(Message(down ? kMsgRButtonDown : kMsgRButtonUp, 0, at));
            break;
        }
        case SDL_MOUSEWHEEL:
            if (event.wheel.y != 0)
                out.push_back(Message(kMsgMouseWheel, uint32_t(int32_t(event.wheel.y))));
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKey(event.key, event.type == SDL_KEYDOWN, out);
            break;
        case SDL_TEXTINPUT:
            if (dropText) break;
            for (char c : Utf8ToLatin1(event.text.text))
                out.push_back(Message(kMsgChar, static_cast<unsigned char>(c)));
            break;
        default:
            break;
    }
}

void SdlWindow::TranslateKey(const SDL_KeyboardEvent& key, bool down,
                             std::vector<WindowMessage>& out) {
    int code = SdlKeyToKeyCode(key.keysym.sym);
    // AltGr (the mode key) still types; Alt with another key is a system key combination,
    // which reaches the application as a system key and never as a typed character.
    bool alt = (key.keysym.mod & KMOD_ALT) && !(key.keysym.mod & KMOD_MODE);
    bool control = key.keysym.mod & KMOD_CTRL;
    if (down) dropText = alt;
    if (down && alt && code != 0 && code != kAltKeyCode) {
        out.push_back(Message(kMsgSysKeyDown, code));
        return;
    }
    if (code != 0) out.push_back(Message(down ? kMsgKeyDown : kMsgKeyUp, code));
    if (!down) return;
    // Control characters arrive as characters too, as the widgets expect.
    if (code == 8 || code == 9 || code == 13 || code == 27)
        out.push_back(Message(kMsgChar, code));
    else if (control && code >= 'A' && code <= 'Z')
        out.push_back(Message(kMsgChar, code - 'A' + 1));
}

// Only the picture is the client area: in full screen the letterbox bars around it are not.
bool SdlWindow::PointerInClient() {
    if (!window || SDL_GetMouseFocus() != window) return false;
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    return PictureContains(x, y);
}

bool SdlWindow::PictureContains(int windowX, int windowY) const {
    if (!renderer) return placement.Contains(windowX, windowY);
    float logicalX = float(windowX);
    float logicalY = float(windowY);
    SDL_RenderWindowToLogical(renderer, windowX, windowY, &logicalX, &logicalY);
    return logicalX >= 0 && logicalY >= 0 && logicalX < logicalWidth && logicalY < logicalHeight;
}

void SdlWindow::SetCapture(bool capture) {
    SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void SdlWindow::SetSystemCursor(SystemCursor cursor) {
    currentCursor = cursor;
    SDL_Cursor* chosen = cursors[static_cast<int>(cursor)];
    if (chosen) SDL_SetCursor(chosen);
}

void SdlWindow::SetCursorImage(SystemCursor cursor, const uint32_t* argbPixels, int hotX,
                               int hotY) {
    CursorArt& art = cursorArt[static_cast<int>(cursor)];
    art.argb.assign(argbPixels, argbPixels + kCursorSide * kCursorSide);
    art.hotX = hotX;
    art.hotY = hotY;
    MakeCursor(cursor);
}

// The artwork scaled with the picture; a system cursor stays where there is no artwork.
void SdlWindow::MakeCursor(SystemCursor cursor) {
    const CursorArt& art = cursorArt[static_cast<int>(cursor)];
    if (art.argb.empty()) return;
    int side = kCursorSide * cursorScale;
    std::vector<uint32_t> scaled(size_t(side) * side);
    for (int y = 0; y < side; ++y)
        ScaleRowPlain32(scaled.data() + size_t(y) * side,
                        art.argb.data() + size_t(y / cursorScale) * kCursorSide, kCursorSide,
                        cursorScale);
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(scaled.data(), side, side, 32,
                                                              side * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!surface) return;
    SDL_Cursor* made =
        SDL_CreateColorCursor(surface, art.hotX * cursorScale, art.hotY * cursorScale);
    SDL_FreeSurface(surface);
    RemoveOwnSharedFiles();
    if (!made) return;
    SDL_Cursor*& slot = cursors[static_cast<int>(cursor)];
    SDL_Cursor* old = slot;
    slot = made;
    // The cursor in use is replaced on the screen before the old one goes.
    if (old && SDL_GetCursor() == old) SDL_SetCursor(made);
    if (old) SDL_FreeCursor(old);
}

void SdlWindow::ShowSystemCursor(bool show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace Varn
