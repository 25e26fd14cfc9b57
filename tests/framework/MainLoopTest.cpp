// The fixed-rate loop: updates every 10 ms, a draw after at most nine updates,
// at most one second of catch-up, a presentation at least once a second.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestApp.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.Init();
        app.running = true;
        app.updateClock = platform.clock.now;
    }
    // Runs loop passes until fake time reaches the given number of ms from now.
    void RunFor(int64_t milliseconds) {
        int64_t end = platform.clock.now + milliseconds;
        while (platform.clock.now < end) app.ProcessFrame(true);
    }

    HeadlessPlatform platform;
    TestApp app{&platform};
};

TEST_F(MainLoopTest, QuietScreenPresentsOncePerSecond) {
    RunFor(200);  // the first pass draws the (empty) screen
    int before = app.Presents();
    RunFor(5000);
    EXPECT_EQ(app.Presents() - before, 5);
    EXPECT_NEAR(app.updates, 520, 2);
}

TEST_F(MainLoopTest, DirtyWidgetIsPresentedEveryPass) {
    struct Busy : Widget {
        void Update() override { MarkDirty(); }
    } busy;
    busy.Resize(0, 0, 10, 10);
    app.GetWidgetManager()->AddWidget(&busy);
    RunFor(1000);
    EXPECT_NEAR(app.Presents(), 100, 2);
    app.GetWidgetManager()->RemoveWidget(&busy);
}

TEST_F(MainLoopTest, StallCatchesUpAtMostOneSecondWithDrawAfterNinthUpdate) {
    RunFor(100);
    int updatesBefore = app.updates;
    app.updatesAtDraw.clear();
    platform.clock.Advance(5000);  // the machine stalls for five seconds
    // Run until the loop has caught up (it sleeps once it is ahead again).
    int sleepsBefore = app.sleepCount;
    while (app.sleepCount == sleepsBefore) app.ProcessFrame(true);
    int caughtUp = app.updates - updatesBefore;
    EXPECT_GE(caughtUp, 99);
    EXPECT_LE(caughtUp, 102);
    for (size_t i = 1; i < app.updatesAtDraw.size(); ++i)
        EXPECT_LE(app.updatesAtDraw[i] - app.updatesAtDraw[i - 1], 9);
}

TEST_F(MainLoopTest, UpdateMayRunUpToFiveMillisecondsEarly) {
    app.updateClock = platform.clock.now;
    platform.clock.Advance(4);
    app.ProcessFrame(false);
    EXPECT_EQ(app.updates, 0);
    platform.clock.Advance(1);  // 5 ms late counts as due
    app.ProcessFrame(false);
    EXPECT_EQ(app.updates, 1);
}

TEST_F(MainLoopTest, SleepsUntilTheNextUpdateIsDue) {
    app.updateClock = platform.clock.now;
    app.ProcessFrame(true);  // draws at once, then sleeps the remaining interval
    EXPECT_EQ(app.sleepCount, 1);
    EXPECT_EQ(platform.clock.now - app.updateClock, 10);
}

TEST_F(MainLoopTest, ShutdownTwiceSavesSettingsOnce) {
    app.Shutdown();
    app.Shutdown();
    EXPECT_EQ(app.settingsSaveCount, 1);
    EXPECT_TRUE(app.closing);
}

TEST_F(MainLoopTest, QuitRequestShutsDownAtNextPass) {
    app.quitRequested = true;
    app.ProcessFrame(true);
    EXPECT_TRUE(app.closing);
}

TEST_F(MainLoopTest, LostDisplayIsSetUpAgainAndEverythingRedrawn) {
    Widget backdrop;
    backdrop.Resize(0, 0, 640, 480);
    app.GetWidgetManager()->AddWidget(&backdrop);
    RunFor(50);
    platform.window.loseDisplayPresents = 1;
    backdrop.dirty = false;
    app.PresentScreen();
    EXPECT_TRUE(backdrop.dirty);
    EXPECT_NE(app.GetWidgetManager()->GetScreenImage(), nullptr);
    app.GetWidgetManager()->RemoveWidget(&backdrop);
}

TEST(MainLoopRunTest, RunLogsStatisticsAndResourceLoadingTime) {
    HeadlessPlatform platform;
    TestApp app(&platform);
    app.logStatistics = true;
    app.Init();
    platform.window.onPump = [&](HeadlessWindow& window) {
        if (platform.clock.now > 3000) {
            WindowMessage close;
            close.message = kMsgClose;
            window.Post(close);
        }
    };
    app.Run();
    const auto& lines = platform.desktop.logLines;
    auto find = [&](const std::string& prefix) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return i;
        return lines.size();
    };
    EXPECT_LT(find("Resource Loading Time: "), lines.size());
    EXPECT_LT(find("Resources Loaded: "), lines.size());
    EXPECT_LT(find("First Frame Time: "), lines.size());
    const char* expected[] = {
        "Seconds       = ", "Count         = ", "Sleep Count   = ", "Update Count  = ",
        "Draw Count    = ", "Draw Time     = ", "Screen Blt    = "};
    size_t first = find(expected[0]);
    ASSERT_EQ(first + std::size(expected), lines.size());  // no time passes in a fake present
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(lines[first + i].rfind(expected[i], 0), 0u) << lines[first + i];
    EXPECT_DOUBLE_EQ(app.GetLoadingProgress(), 1.0);
}

// Only asked for, and then without an average when nothing was timed.
TEST(MainLoopRunTest, StatisticsOnlyWhenAskedAndWithoutAverageWhenNothingWasTimed) {
    for (bool asked : {false, true}) {
        HeadlessPlatform platform;
        TestApp app(&platform);
        app.logStatistics = asked;
        app.Init();
        app.Shutdown();
        app.closing = false;  // let Run start, then close at once
        platform.window.onPump = [&](HeadlessWindow& window) {
            WindowMessage close;
            close.message = kMsgClose;
            window.Post(close);
        };
        app.Run();
        const auto& lines = platform.desktop.logLines;
        EXPECT_EQ(
            std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.rfind("Seconds", 0) == 0; }),
            asked ? 1 : 0);
        for (const std::string& line : lines) EXPECT_EQ(line.find("Avg FPS"), std::string::npos);
        EXPECT_EQ(app.drawCount, 0);
    }
}

}  // namespace
}  // namespace Varn::test
