// The report window on the headless platform: its keys, its button and its scrolling.
#include "framework/crash/CrashWindow.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessPlatform.h"

namespace Varn {
namespace {

std::string LongReport() {
    std::string report;
    for (int i = 0; i < 100; ++i) report += "line " + std::to_string(i) + "\n";
    return report;
}

WindowMessage Message(int type, uint32_t wparam = 0, int x = 0, int y = 0) {
    WindowMessage m;
    m.message = type;
    m.wparam = wparam;
    m.lparam = WindowMessage::PackPoint(x, y);
    return m;
}

TEST(CrashWindowTest, OpensTheFatalErrorWindow) {
    HeadlessPlatform platform;
    CrashWindow window(platform, "report");
    ASSERT_TRUE(window.Open());
    EXPECT_EQ("Fatal Error!", platform.window.title);
    EXPECT_EQ(400, platform.window.width);
    EXPECT_EQ(300, platform.window.height);
    EXPECT_FALSE(platform.window.fullscreen);
}

TEST(CrashWindowTest, MessageAsksForMailToTheBuildsAddress) {
    EXPECT_TRUE(std::string(kCrashMessage).ends_with(" at " GEMLODE_CRASH_MAIL ".  Thank you."))
        << kCrashMessage;
}

TEST(CrashWindowTest, ReportReachesTheClipboardOnlyWithAnApplication) {
    for (bool withApplication : {false, true}) {
        HeadlessPlatform platform;
        platform.window.Post(Message(kMsgClose));
        ASSERT_TRUE(PresentCrashReport(platform, "report", withApplication));
        EXPECT_EQ(withApplication ? "report" : "", platform.desktop.clipboard) << withApplication;
    }
}

TEST(CrashWindowTest, EnterEscapeCloseAndExitEndIt) {
    const std::vector<std::vector<WindowMessage>> endings = {
        {Message(kMsgKeyDown, 13)},
        {Message(kMsgKeyDown, 27)},
        {Message(kMsgClose)},
        {Message(kMsgLButtonDown, 0, 200, 280), Message(kMsgLButtonUp, 0, 200, 280)},
    };
    for (const auto& ending : endings) {
        HeadlessPlatform platform;
        CrashWindow window(platform, "report");
        for (const WindowMessage& m : ending) window.HandleMessage(m);
        EXPECT_TRUE(window.Done()) << ending.front().message;
    }
}

TEST(CrashWindowTest, PressingOutsideExitOrReleasingElsewhereDoesNotEnd) {
    HeadlessPlatform platform;
    CrashWindow window(platform, "report");
    window.HandleMessage(Message(kMsgLButtonDown, 0, 200, 280));
    window.HandleMessage(Message(kMsgLButtonUp, 0, 200, 150));
    window.HandleMessage(Message(kMsgKeyDown, 65));
    EXPECT_FALSE(window.Done());
}

TEST(CrashWindowTest, ControlCCopiesTheReport) {
    HeadlessPlatform platform;
    CrashWindow window(platform, "the report");
    window.HandleMessage(Message(kMsgChar, 3));
    EXPECT_EQ("the report", platform.desktop.clipboard);
}

TEST(CrashWindowTest, WheelKeysAndTrackScrollWithinTheReport) {
    HeadlessPlatform platform;
    CrashWindow window(platform, LongReport());
    int last = window.LineCount() - window.VisibleLines();
    ASSERT_GT(last, 10);
    window.HandleMessage(Message(kMsgMouseWheel, uint32_t(-2)));
    EXPECT_EQ(6, window.FirstLine());
    window.HandleMessage(Message(kMsgKeyDown, 38));
    EXPECT_EQ(5, window.FirstLine());
    window.HandleMessage(Message(kMsgKeyDown, 34));
    EXPECT_EQ(5 + window.VisibleLines(), window.FirstLine());
    window.HandleMessage(Message(kMsgKeyDown, 35));
    EXPECT_EQ(last, window.FirstLine());
    window.HandleMessage(Message(kMsgMouseWheel, uint32_t(-5)));
    EXPECT_EQ(last, window.FirstLine());
    window.HandleMessage(Message(kMsgKeyDown, 36));
    EXPECT_EQ(0, window.FirstLine());
    window.HandleMessage(Message(kMsgLButtonDown, 0, 383, 250));  // the track below the thumb
    EXPECT_EQ(window.VisibleLines(), window.FirstLine());
}

TEST(CrashWindowTest, LongLinesWrapInsteadOfBeingCut) {
    HeadlessPlatform platform;
    std::string wide(300, 'x');
    CrashWindow window(platform, wide + "\nend\n");
    EXPECT_GT(window.LineCount(), 3);
}

TEST(CrashWindowTest, DrawsTextIntoTheReportArea) {
    HeadlessPlatform platform;
    CrashWindow window(platform, "Exception: Access Violation\n");
    window.Draw();
    const uint32_t* pixels = const_cast<MemoryImage&>(window.Canvas()).GetBits();
    int dark = 0;
    for (int y = 80; y < 100; ++y)
        for (int x = 10; x < 200; ++x) dark += (pixels[y * 400 + x] & 0xFF) < 100;
    EXPECT_GT(dark, 20);
}

}  // namespace
}  // namespace Varn
