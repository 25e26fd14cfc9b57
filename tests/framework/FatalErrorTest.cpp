// Fatal errors: handed from another thread to the main thread, shown in the game's own
// window when the system's box fails, and the end of the process after the loading thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "TestApp.h"
#include "framework/FatalScreen.h"
#include "graphics/DisplayDevice.h"

namespace Varn::test {
namespace {

// White text pixels on the dark panel, above the button (the panel's frame left out).
int BrightPixelsInside(const HeadlessWindow& window, const Rect& panel, int bottom) {
    const FrameView& f = window.lastFrame;
    if (window.lastPixels.empty()) return 0;
    int count = 0;
    for (int y = panel.y + 1; y < bottom - 1; ++y)
        for (int x = panel.x + 1; x < panel.x + panel.width - 1; ++x) {
            const uint8_t* p = window.lastPixels.data() + std::size_t(f.pitch) * y + x * 4;
            count += p[0] > 200 && p[1] > 200 && p[2] > 200;
        }
    return count;
}

TEST(FatalErrorTest, AnotherThreadsErrorIsShownByTheMainThreadAtItsNextPass) {
    HeadlessPlatform platform;
    TestApp app(&platform);
    app.Init();
    std::thread([&app] { app.ShowFatalError("Failed to load images\\gem0"); }).join();
    EXPECT_TRUE(platform.desktop.boxes.empty());
    app.ProcessFrame(false);
    ASSERT_EQ(platform.desktop.boxes.size(), 1u);
    EXPECT_EQ(platform.desktop.boxes[0].caption, "FATAL ERROR");
    EXPECT_EQ(platform.desktop.boxes[0].text, "Failed to load images\\gem0");
    EXPECT_EQ(platform.desktop.boxes[0].thread, std::this_thread::get_id());
}

TEST(FatalErrorTest, WhenTheSystemBoxFailsTheWindowShowsTheMessageUntilOk) {
    HeadlessPlatform platform;
    platform.desktop.boxesShown = false;
    platform.window.copyFrames = true;
    TestApp app(&platform);
    app.Init();
    FatalScreen layout("FATAL ERROR", "Failed to load images\\gem0", app.width, app.height);
    const Rect ok = layout.OkButton();
    int pumps = 0;
    bool textShown = false;
    platform.window.onPump = [&](HeadlessWindow& window) {
        ++pumps;
        if (pumps == 1) {  // beside the button: not an OK
            window.PostMouse(kMsgLButtonDown, ok.x - 5, ok.y);
            window.PostMouse(kMsgLButtonUp, ok.x - 5, ok.y);
        }
        if (pumps == 3) {
            textShown = BrightPixelsInside(window, layout.Panel(), ok.y) > 20;
            window.PostMouse(kMsgLButtonDown, ok.x + 2, ok.y + 2);
            window.PostMouse(kMsgLButtonUp, ok.x + 2, ok.y + 2);
        }
    };
    app.ShowFatalError("Failed to load images\\gem0");
    EXPECT_EQ(pumps, 3);  // the click beside the button did not end it
    EXPECT_TRUE(textShown);
    ASSERT_EQ(platform.desktop.boxes.size(), 1u);
}

// The real end of the process: the loading thread finishes first (its last line appears)
// and the exit code is the one asked for.
class SlowLoadingApp : public VarnApp {
public:
    using VarnApp::StartLoadingThread;
    using VarnApp::VarnApp;
    void LoadResources() override {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::fprintf(stderr, "loading finished\n");
    }
};

TEST(FatalErrorDeathTest, ExitWaitsForTheLoadingThreadAndReturnsTheCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            HeadlessPlatform platform;
            SlowLoadingApp app(&platform);
            app.StartLoadingThread();
            app.ExitProcess(1);
        },
        ::testing::ExitedWithCode(1), "loading finished");
}

}  // namespace
}  // namespace Varn::test
