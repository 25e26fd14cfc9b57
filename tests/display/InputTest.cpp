// Input from window events to widgets. On the headless backend with scripted messages: move
// versus drag, the right button, Alt+Enter before and after loading (with the display set up
// again in the other mode), the pointer leaving within one timer period, custom cursors on
// and off, a refused full-screen window. On the SDL backend with its dummy video driver:
// real SDL key and text events becoming key codes and characters (Backspace, Enter,
// Ctrl+letters, Latin-1 text), mouse buttons and motion with the buttons held; a frame
// refused by a failed surface lock.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/VarnApp.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/headless/HeadlessAudioDevice.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/SdlWindow.h"
#include "tests/framework/PrivateProgramFolder.h"
#include "widgets/CursorWidget.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace Varn {
namespace {

struct Recorder : Widget {
    void MouseMove(int, int) override { log += "move "; }
    void MouseDrag(int, int) override { log += "drag "; }
    void MouseDown(int x0, int y0, int code) override {
        log += "down" + std::to_string(code) + "@" + std::to_string(x0) + "," + std::to_string(y0) +
               " ";
    }
    void MouseUp(int, int) override { log += "up "; }
    void MouseLeave() override {
        Widget::MouseLeave();
        log += "leave ";
    }
    void KeyDown(int code) override { log += "key" + std::to_string(code) + " "; }
    void KeyChar(char ch) override {
        log += "char" + std::to_string(int(static_cast<unsigned char>(ch))) + " ";
    }
    bool WantsFocus() override { return true; }
    std::string log;
};

class QuietApp : private test::PrivateProgramFolder, public VarnApp {
public:
    using VarnApp::VarnApp;
    FolderInputs ReadFolderInputs() override { return Apply(VarnApp::ReadFolderInputs()); }
    void ExitProcess(int code) override { exits.push_back(code); }
    std::vector<int> exits;
};

// Keeps settings written by the application out of the user's folders.
void PrivateSettingsFolder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/gemlode-input-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    setenv("HOME", folder.c_str(), 1);
}

template <typename PlatformType>
class InputFixture : public ::testing::Test {
protected:
    void Start() {
        app.Init();
        app.running = true;
        widget.Resize(0, 0, 640, 480);
        app.GetWidgetManager()->AddWidget(&widget);
        app.GetWidgetManager()->SetFocus(&widget);
    }
    void TearDown() override {
        if (app.GetWidgetManager()) app.GetWidgetManager()->RemoveWidget(&widget);
    }
    void Pump() {
        app.PumpMessages();
        app.ProcessMessageQueue();
    }
    DDInterface* Device() { return dynamic_cast<DDInterface*>(app.GetDisplayDevice()); }

    PlatformType platform;
    QuietApp app{&platform};
    Recorder widget;
};

class HeadlessInputTest : public InputFixture<HeadlessPlatform> {
protected:
    HeadlessInputTest() { PrivateSettingsFolder(); }
    void SetUp() override { Start(); }
    HeadlessWindow& Window() { return platform.window; }
};

// The log with the hover moves the manager adds around presses taken out.
std::string Without(std::string log, const std::string& token) {
    for (size_t at = log.find(token); at != std::string::npos; at = log.find(token))
        log.erase(at, token.size());
    return log;
}

TEST_F(HeadlessInputTest, LeftHeldDragsRightHeldMoves) {
    Window().PostMouse(kMsgLButtonDown, 10, 10);
    Window().PostMouse(kMsgMouseMove, 12, 10, true);
    Window().PostMouse(kMsgLButtonUp, 12, 10);
    Pump();
    EXPECT_EQ(Without(widget.log, "move "), "down1@10,10 drag up ");
    widget.log.clear();
    Window().PostMouse(kMsgRButtonDown, 20, 20);
    Window().PostMouse(kMsgMouseMove, 22, 20, false);  // right button only: no bit 0
    Window().PostMouse(kMsgRButtonUp, 22, 20);
    Pump();
    EXPECT_EQ(Without(widget.log, "move "), "down-1@20,20 up ");
    EXPECT_NE(widget.log.find("move"), std::string::npos);
}

TEST_F(HeadlessInputTest, RightPressIsClickCodeMinusOneAndReleaseIsOrdinary) {
    Window().PostMouse(kMsgRButtonDown, 30, 40);
    Pump();
    EXPECT_TRUE(Window().captured);
    Window().PostMouse(kMsgRButtonUp, 30, 40);
    Pump();
    EXPECT_EQ(Without(widget.log, "move "), "down-1@30,40 up ");
    EXPECT_FALSE(Window().captured);
}

TEST_F(HeadlessInputTest, HiddenWindowIsOffTheScreenAndTakesNoPointerInput) {
    Window().Show();  // as Run does
    Window().PostMouse(kMsgLButtonDown, 10, 10);
    Pump();
    app.HideWindow();
    EXPECT_FALSE(Window().shown);
    EXPECT_FALSE(Window().minimized);
    EXPECT_FALSE(Window().captured);
    widget.log.clear();
    Window().PostMouse(kMsgLButtonUp, 10, 10);
    Window().PostMouse(kMsgMouseMove, 20, 10, false);
    Window().PostMouse(kMsgRButtonDown, 20, 10);
    Window().PostMouse(kMsgRButtonUp, 20, 10);
    Pump();
    EXPECT_EQ(widget.log, "");
    EXPECT_FALSE(Window().captured);
}

TEST_F(HeadlessInputTest, AltEnterBeforeLoadingDoesNothing) {
    Window().PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_TRUE(app.windowed);
    EXPECT_EQ(Window().createCount, 1);
    EXPECT_EQ(widget.log, "");
}

TEST_F(HeadlessInputTest, AltEnterAfterLoadingSwitchesAndSetsTheDisplayUpAgain) {
    ASSERT_EQ(Device()->GetBitDepth(), 32);
    app.loaded = true;
    Window().PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_FALSE(app.windowed);
    EXPECT_TRUE(Window().fullscreen);
    EXPECT_EQ(Device()->GetBitDepth(), 32);  // full screen draws at the window's depth
    EXPECT_EQ(app.GetWidgetManager()->GetScreenImage(), Device()->GetScreenImage());
    Window().PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_TRUE(app.windowed);
    EXPECT_EQ(Device()->GetBitDepth(), 32);
    EXPECT_EQ(Window().createCount, 1);  // switched in place, the window kept
    EXPECT_EQ(Window().switchCount, 2);
}

TEST_F(HeadlessInputTest, AFullScreenSwitchTheWindowRefusesMakesTheWindowAgain) {
    app.loaded = true;
    Window().refuseSwitch = true;
    Window().PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_TRUE(Window().fullscreen);
    EXPECT_EQ(Window().createCount, 2);
    EXPECT_EQ(app.GetWidgetManager()->GetScreenImage(), Device()->GetScreenImage());
}

TEST_F(HeadlessInputTest, PointerLeavingIsNoticedAtTheNextTimerMessage) {
    Window().PostMouse(kMsgMouseMove, 100, 100);
    Pump();
    app.SetCursorKind(1);
    EXPECT_EQ(Window().systemCursor, SystemCursor::kFinger);
    Window().pointerInClient = false;
    platform.clock.Advance(10);
    Window().PostKey(kMsgTimer, 100);
    Pump();
    EXPECT_NE(widget.log.find("leave"), std::string::npos);
    EXPECT_EQ(Window().systemCursor, SystemCursor::kArrow);
    EXPECT_FALSE(app.mouseInClient);
}

TEST_F(HeadlessInputTest, CustomCursorImageHidesSystemCursorAndTurningItOffRestoresIt) {
    MemoryImage finger(app.GetImageRegistry());
    finger.Create(32, 32);
    Window().PostMouse(kMsgMouseMove, 50, 60);
    Pump();
    app.SetCursorKindImage(1, &finger);
    app.SetCustomCursors(true);
    app.SetCursorKind(1);
    EXPECT_FALSE(Window().systemCursorShown);
    EXPECT_TRUE(app.GetWidgetManager()->cursorShown);
    int calls = Window().showCursorCalls;
    app.SetCursorKind(1);  // no change in visibility: no further show/hide call
    EXPECT_EQ(Window().showCursorCalls, calls);
    app.SetCustomCursors(false);
    EXPECT_TRUE(Window().systemCursorShown);
    EXPECT_FALSE(app.GetWidgetManager()->cursorShown);
    EXPECT_EQ(Window().systemCursor, SystemCursor::kFinger);
}

TEST_F(HeadlessInputTest, DrawnFramesArePresentedInTheDesktopLayout) {
    Window().copyFrames = true;
    app.DrawTick();
    ASSERT_GE(Window().presentCount, 1);
    EXPECT_EQ(Window().lastFrame.format, PixelFormat::kXrgb8888);
    EXPECT_EQ(Window().lastFrame.width, 640);
    EXPECT_EQ(Window().lastFrame.height, 480);
}

// A headless platform whose window system refuses full-screen windows.
class NoFullScreenWindow : public HeadlessWindow {
public:
    bool Create(const std::string& t, int w, int h, bool isFullscreen) override {
        if (isFullscreen) {
            ++createCount;
            return false;
        }
        return HeadlessWindow::Create(t, w, h, isFullscreen);
    }
    bool SetFullscreen(bool isFullscreen) override {
        return !isFullscreen && HeadlessWindow::SetFullscreen(false);
    }
};

class NoFullScreenPlatform : public Platform {
public:
    Clock& GetClock() override { return clock; }
    PlatformWindow& GetWindow() override { return window; }
    Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override {
        return std::make_unique<HeadlessAudioDevice>();
    }
    FakeClock clock;
    NoFullScreenWindow window;
    HeadlessDesktop desktop;
};

class RefusedFullScreenTest : public InputFixture<NoFullScreenPlatform> {
protected:
    RefusedFullScreenTest() { PrivateSettingsFolder(); }
};

TEST_F(RefusedFullScreenTest, RefusedFullScreenWindowFallsBackToWindowed) {
    app.windowed = false;
    Start();
    EXPECT_TRUE(app.windowed);
    EXPECT_TRUE(app.fullScreenFailed);
    EXPECT_TRUE(app.exits.empty());
    EXPECT_TRUE(platform.window.exists);
    ASSERT_NE(Device(), nullptr);
    EXPECT_TRUE(Device()->IsInitialised());
}

// ---- the SDL backend on its dummy video driver ----

class SdlPlatformHolder : public Platform {
public:
    SdlPlatformHolder() {
        PrivateSettingsFolder();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        sdl = CreateSdlPlatform();
    }
    Clock& GetClock() override { return sdl->GetClock(); }
    PlatformWindow& GetWindow() override { return sdl->GetWindow(); }
    Desktop& GetDesktop() override { return sdl->GetDesktop(); }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override { return sdl->CreateAudioDevice(); }
    std::unique_ptr<Platform> sdl;
};

class SdlInputTest : public InputFixture<SdlPlatformHolder> {
protected:
    void SetUp() override {
        Start();
        Pump();  // drop the window's own start-up events
        widget.log.clear();
    }
    void Key(SDL_Keycode key, Uint16 mod, bool down = true) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = key;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void Text(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, utf8, sizeof(e.text.text));
        SDL_PushEvent(&e);
    }
    void Button(Uint8 button, bool down, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void Motion(Uint32 state, int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.state = state;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    // The widget's log without the timer-driven entries the real clock may add.
    std::string Log() {
        Pump();
        return widget.log;
    }
};

// A closed terminal is a quit like any other: the game in progress is saved on the way out.
TEST_F(SdlInputTest, HangUpSignalQuitsLikeTheCloseBox) {
    ASSERT_FALSE(app.closing);
    raise(SIGHUP);
    Pump();
    EXPECT_TRUE(app.closing);
}

TEST_F(SdlInputTest, BackspaceEnterAndEscapeArriveAsKeysAndControlCharacters) {
    Key(SDLK_BACKSPACE, KMOD_NONE);
    Key(SDLK_RETURN, KMOD_NONE);
    Key(SDLK_ESCAPE, KMOD_NONE);
    EXPECT_EQ(Log(), "key8 char8 key13 char13 key27 char27 ");
}

TEST_F(SdlInputTest, ControlLettersArriveAsCharactersOneToTwentySix) {
    Key(SDLK_LCTRL, KMOD_LCTRL);
    Key(SDLK_a, KMOD_LCTRL);
    Key(SDLK_z, KMOD_RCTRL);
    EXPECT_EQ(Log(), "key17 key65 char1 key90 char26 ");
}

TEST_F(SdlInputTest, TextArrivesAsLatinOneBytesAndOtherCharactersAreDropped) {
    Text("a\xC3\xA9\xE2\x82\xAC!");  // a, e-acute, the euro sign (not Latin-1), !
    EXPECT_EQ(Log(), "char97 char233 char33 ");
}

TEST_F(SdlInputTest, KeyReleaseGivesKeyUpAndNoCharacter) {
    Key(SDLK_BACKSPACE, KMOD_NONE, false);
    EXPECT_EQ(Log(), "");  // the recorder logs KeyDown only; no character on release
}

TEST_F(SdlInputTest, AltEnterIsTheSystemKeyNotACharacter) {
    Key(SDLK_RETURN, KMOD_LALT);
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(app.windowed);  // resources not loaded: no switch
}

TEST_F(SdlInputTest, AltLettersAreSystemKeysAndTypeNothing) {
    Key(SDLK_LALT, KMOD_LALT);
    Key(SDLK_f, KMOD_LALT);
    Text("f");  // the text the window system derives from Alt+F
    Key(SDLK_x, KMOD_RALT);
    Text("x");
    Key(SDLK_LALT, KMOD_NONE, false);
    Key(SDLK_b, KMOD_NONE);
    Text("b");
    EXPECT_EQ(Log(), "key18 key66 char98 ");
}

TEST_F(SdlInputTest, AltGrStillTypes) {
    Key(SDLK_q, KMOD_RALT | KMOD_MODE);
    Text("@");
    EXPECT_EQ(Log(), "key81 char64 ");
}

// The dummy display is 1024x768: full screen in whole multiples shows the 640x480 picture
// unscaled in the middle, with bars of 192 pixels left and right and 144 above and below.
TEST(SdlFullScreenTest, LetterboxBarsAreOutsideTheClientArea) {
    SdlPlatformHolder holder;
    auto* window = dynamic_cast<SdlWindow*>(&holder.GetWindow());
    ASSERT_NE(window, nullptr);
    window->SetFullScreenScaling(FullScreenScaling::WholeMultiples);
    ASSERT_TRUE(window->Create("letterbox", 640, 480, true));
    window->Show();
    const struct {
        int x, y;
        bool inside;
    } points[] = {{10, 300, false},  {191, 300, false}, {192, 300, true},  {831, 623, true},
                  {832, 300, false}, {500, 143, false}, {500, 700, false}, {500, 400, true}};
    for (const auto& p : points)
        EXPECT_EQ(window->PictureContains(p.x, p.y), p.inside) << p.x << "," << p.y;
    window->Destroy();
}

// Rows refused by a failed surface lock are sent with the next presentation.
TEST(SdlPresentTest, RowsRefusedByAFailedLockAreSentWithTheNextFrame) {
    SdlPlatformHolder holder;
    auto* window = dynamic_cast<SdlWindow*>(&holder.GetWindow());
    ASSERT_TRUE(window && window->Create("lock", 640, 480, false));
    std::vector<uint32_t> pixels(640 * 480, 0x0000ff);
    const FrameView frame{pixels.data(), 640 * 4, 640, 480, PixelFormat::kXrgb8888, 0, 480};
    ASSERT_TRUE(window->Present(frame));
    std::fill(pixels.begin(), pixels.end(), 0x00ff00);
    window->lockSurface = [](SDL_Surface*) { return -1; };
    EXPECT_FALSE(window->Present(frame));
    SDL_Surface* surface = nullptr;
    window->lockSurface = [&surface](SDL_Surface* locked) { return (surface = locked), 0; };
    EXPECT_TRUE(window->Present(frame));  // every row again, as the caller asks after a failure
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(static_cast<const uint32_t*>(surface->pixels)[surface->w / 2] & 0xffffff, 0x00ff00u);
    window->Destroy();
}

TEST(SdlFullScreenTest, WindowedPictureIsTheWholeWindow) {
    SdlPlatformHolder holder;
    auto* window = dynamic_cast<SdlWindow*>(&holder.GetWindow());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->Create("windowed", 640, 480, false));
    window->Show();
    EXPECT_TRUE(window->PictureContains(0, 0));
    EXPECT_TRUE(window->PictureContains(639, 479));
    EXPECT_FALSE(window->PictureContains(640, 100));
    EXPECT_FALSE(window->PictureContains(-1, 100));
    window->Destroy();
}

TEST_F(SdlInputTest, HiddenWindowIsHiddenNotMinimisedAndTakesNoPointerInput) {
    auto* window = dynamic_cast<SdlWindow*>(&platform.GetWindow());
    ASSERT_NE(window, nullptr);
    window->Show();  // as Run does
    ASSERT_FALSE(window->IsHidden());
    app.HideWindow();
    EXPECT_TRUE(window->IsHidden());
    EXPECT_FALSE(window->IsMinimized());
    Button(SDL_BUTTON_LEFT, true, 20, 30);
    Motion(SDL_BUTTON_LMASK, 25, 30);
    Button(SDL_BUTTON_LEFT, false, 25, 30);
    EXPECT_EQ(Log(), "");
}

TEST_F(SdlInputTest, ButtonsAndMotionBecomeDownUpMoveAndDrag) {
    Button(SDL_BUTTON_LEFT, true, 20, 30);
    Motion(SDL_BUTTON_LMASK, 25, 30);
    Button(SDL_BUTTON_LEFT, false, 25, 30);
    Button(SDL_BUTTON_RIGHT, true, 40, 50);
    Motion(SDL_BUTTON_RMASK, 45, 50);
    Button(SDL_BUTTON_RIGHT, false, 45, 50);
    Button(SDL_BUTTON_MIDDLE, true, 1, 1);  // the middle button is not used
    std::string log = Log();
    EXPECT_EQ(Without(log, "move "), "down1@20,30 drag up down-1@40,50 up ");
    // The motion with the right button held is a move.
    EXPECT_NE(log.find("down-1@40,50 move"), std::string::npos) << log;
}

}  // namespace
}  // namespace Varn
