// Window messages to widget input: drag versus move, right button, keys,
// close, Alt+Enter, the pointer leaving, the browser rules and cursors.
#include <gtest/gtest.h>

#include "TestApp.h"
#include "graphics/MemoryImage.h"
#include "widgets/CursorWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

struct Recorder : Widget {
    void MouseMove(int, int) override { log += "move "; }
    void MouseDrag(int, int) override { log += "drag "; }
    void MouseDown(int, int, int code) override { log += "down" + std::to_string(code) + " "; }
    void MouseUp(int, int) override { log += "up "; }
    void MouseLeave() override {
        Widget::MouseLeave();
        log += "leave ";
    }
    void KeyDown(int code) override { log += "key" + std::to_string(code) + " "; }
    void KeyChar(char ch) override { log += "char" + std::to_string(int(ch)) + " "; }
    bool WantsFocus() override { return true; }
    std::string log;
};

class WindowMessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.Init();
        app.running = true;
        widget.Resize(0, 0, 640, 480);
        app.GetWidgetManager()->AddWidget(&widget);
    }
    void TearDown() override { app.GetWidgetManager()->RemoveWidget(&widget); }
    void Pump() {
        app.PumpMessages();
        app.ProcessMessageQueue();
    }

    HeadlessPlatform platform;
    TestApp app{&platform};
    Recorder widget;
};

TEST_F(WindowMessagesTest, MoveWithLeftHeldDragsAndRightHeldMoves) {
    platform.window.PostMouse(kMsgLButtonDown, 10, 10);
    platform.window.PostMouse(kMsgMouseMove, 20, 10, true);
    platform.window.PostMouse(kMsgLButtonUp, 20, 10);
    platform.window.PostMouse(kMsgRButtonDown, 20, 10);
    platform.window.PostMouse(kMsgMouseMove, 30, 10, false);
    platform.window.PostMouse(kMsgRButtonUp, 30, 10);
    Pump();
    EXPECT_EQ(widget.log, "move down1 drag up move move down-1 move up move ");
}

TEST_F(WindowMessagesTest, KeysAndCharactersReachTheFocusedWidget) {
    platform.window.PostMouse(kMsgLButtonDown, 10, 10);
    platform.window.PostMouse(kMsgLButtonUp, 10, 10);
    platform.window.PostKey(kMsgKeyDown, 8);
    platform.window.PostKey(kMsgChar, 8);
    platform.window.PostKey(kMsgChar, 13);
    platform.window.PostKey(kMsgChar, 3);  // Ctrl+C
    Pump();
    EXPECT_NE(widget.log.find("key8 char8 char13 char3 "), std::string::npos);
}

TEST_F(WindowMessagesTest, CloseMessageShutsDown) {
    WindowMessage close;
    close.message = kMsgClose;
    close.window = kInvisibleWindow;
    platform.window.Post(close);
    Pump();
    EXPECT_TRUE(app.closing);
}

TEST_F(WindowMessagesTest, AltEnterWaitsForLoadedResources) {
    platform.window.PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_TRUE(app.windowed);
    app.loaded = true;
    platform.window.PostKey(kMsgSysKeyDown, 13);
    Pump();
    EXPECT_FALSE(app.windowed);
    EXPECT_TRUE(platform.window.fullscreen);
}

TEST_F(WindowMessagesTest, PointerLeavingIsNoticedAtNextTimer) {
    platform.window.PostMouse(kMsgMouseMove, 10, 10);
    Pump();
    EXPECT_TRUE(widget.isOver);
    platform.window.pointerInClient = false;
    platform.clock.Advance(10);
    platform.window.PostKey(kMsgTimer, 100);
    Pump();
    EXPECT_FALSE(widget.isOver);
    EXPECT_EQ(platform.window.systemCursor, SystemCursor::kArrow);
}

TEST_F(WindowMessagesTest, BrowserOpenIsSuccessfulWhenActivationIsLost) {
    EXPECT_TRUE(app.OpenBrowser("http://example.invalid/", false));
    EXPECT_TRUE(app.OpenBrowser("http://example.invalid/", false));
    EXPECT_EQ(platform.desktop.openedUrls.size(), 1u);
    platform.window.PostKey(kMsgActivateApp, 0);
    Pump();
    EXPECT_FALSE(app.urlOpenPending);
}

TEST_F(WindowMessagesTest, BrowserOpenFailsWhenTimerKeepsFlowing) {
    app.OpenBrowser("http://example.invalid/", false);
    for (int tick = 0; tick < 1400; ++tick) {
        platform.clock.Advance(10);
        platform.window.PostKey(kMsgTimer, 100);
        Pump();
    }
    EXPECT_FALSE(app.urlOpenPending);
}

TEST_F(WindowMessagesTest, BrowserOpenFailsAtTheNextTimerWhenTheOpenerFails) {
    app.OpenBrowser("http://example.invalid/", false);
    platform.desktop.openerFailed = true;
    platform.clock.Advance(10);
    platform.window.PostKey(kMsgTimer, 100);
    Pump();
    EXPECT_FALSE(app.urlOpenPending);
}

TEST_F(WindowMessagesTest, BrowserStillPendingAfterStall) {
    app.OpenBrowser("http://example.invalid/", false);
    platform.clock.Advance(8500);  // a stall: timer messages stop for 8.5 s
    platform.window.PostKey(kMsgTimer, 100);
    Pump();
    EXPECT_TRUE(app.urlOpenPending);
}

TEST_F(WindowMessagesTest, CustomCursorImageReplacesSystemCursorOverFingerWidget) {
    MemoryImage finger(app.GetImageRegistry());
    finger.Create(32, 32);
    widget.fingerOnHover = true;
    app.SetCursorKindImage(1, &finger);
    app.SetCustomCursors(true);
    platform.window.PostMouse(kMsgMouseMove, 100, 100);
    Pump();
    WidgetManager& manager = *app.GetWidgetManager();
    EXPECT_TRUE(manager.cursorShown);
    EXPECT_FALSE(platform.window.systemCursorShown);
    EXPECT_EQ(manager.GetWidgets().back(), reinterpret_cast<Widget*>(manager.cursorWidget.get()));
    EXPECT_EQ(manager.cursorWidget->x, 100 - 16);
    app.SetCustomCursors(false);
    EXPECT_FALSE(manager.cursorShown);
    EXPECT_TRUE(platform.window.systemCursorShown);
    EXPECT_EQ(platform.window.systemCursor, SystemCursor::kFinger);
}

TEST(DisplayFallbackTest, UnusableDesktopDepthFallsBackToFullScreen) {
    HeadlessPlatform platform;
    platform.window.desktopBytesPerPixel = 3;
    TestApp app(&platform);
    app.Init();
    EXPECT_FALSE(app.windowed);
    EXPECT_TRUE(app.windowedFailed);
    EXPECT_TRUE(app.exitCodes.empty());
}

}  // namespace
}  // namespace Varn::test
