// The application's resources: step counting, derived images, the colour
// rules, and the fatal outcome of a missing image or difficulty table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "AppHarness.h"
#include "ImageFileWriters.h"
#include "board/ImageColor.h"
#include "graphics/MemoryImage.h"

namespace Varn::test {
namespace {

namespace fs = std::filesystem;

TEST(ResourcesTest, LoadingCountsSixtyOneStepsAndProgressStopsAtOne) {
    AppHarness h;
    h.app->Init();
    h.app->loadingThreadStarted = true;
    h.app->LoadResources();
    EXPECT_EQ(h.app->loadingTotal, 60);
    EXPECT_EQ(h.app->loadingDone, 61);
    EXPECT_DOUBLE_EQ(h.app->GetLoadingProgress(), 1.0);
    EXPECT_TRUE(h.platform.desktop.boxes.empty());
}

TEST(ResourcesTest, WithoutSoundDeviceTheGameLoadsSilently) {
    AppHarness h;
    h.platform.audioAvailable = false;
    h.Start();
    EXPECT_EQ(h.app->loadingDone, 61);
    EXPECT_TRUE(h.platform.desktop.boxes.empty());
    h.StartPlaying();
    EXPECT_NE(h.app->GetBoard(), nullptr);
}

TEST(ResourcesTest, ShrunkGemsAreCentredAtTheirSizes) {
    AppHarness h;
    h.Start();
    const int sizes[] = {43, 35, 29, 21, 15, 7};
    for (int step = 0; step < 6; ++step) {
        auto* gem = static_cast<MemoryImage*>(h.app->ShrunkGem(0, step));
        ASSERT_NE(gem, nullptr);
        EXPECT_EQ(gem->GetWidth(), 49);
        const uint32_t* bits = gem->GetBits();
        int left = 49, right = -1;
        for (int y = 0; y < 49; ++y)
            for (int x = 0; x < 49; ++x)
                if (bits[y * 49 + x] >> 24) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        int offset = (49 - sizes[step]) / 2;
        EXPECT_GE(left, offset) << step;
        EXPECT_LE(right, offset + sizes[step] - 1) << step;
    }
}

TEST(ResourcesTest, MissingImageIsFatalWithItsName) {
    AppHarness h;
    fs::remove(h.folder / "images");
    fs::create_directory(h.folder / "images");
    for (const auto& entry : fs::directory_iterator(fs::path(GEMLODE_GAME_DIR) / "images"))
        if (entry.path().stem() != "sparkle")
            fs::create_symlink(entry.path(), h.folder / "images" / entry.path().filename());
    h.Start();
    ASSERT_EQ(h.platform.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.platform.desktop.boxes[0].caption, "FATAL ERROR");
    EXPECT_EQ(h.platform.desktop.boxes[0].text, "Failed to load images\\sparkle");
    EXPECT_TRUE(h.app->quitRequested);
}

// A picture too small for what the game cuts from it is refused at loading
// like a missing one, naming the file: in the first nine, in the rest, and a
// font strip shorter than its descriptor's glyphs.
TEST(ResourcesTest, ImageTooSmallForItsDrawingIsFatalWithItsName) {
    for (const char* name : {"mainfont1", "gemsheet6", "over5-options-pushed1", "alphadigits4"}) {
        SCOPED_TRACE(name);
        AppHarness h;
        fs::remove(h.folder / "images");
        fs::create_directory(h.folder / "images");
        for (const auto& entry : fs::directory_iterator(fs::path(GEMLODE_GAME_DIR) / "images"))
            if (entry.path().stem() != name)
                fs::create_symlink(entry.path(), h.folder / "images" / entry.path().filename());
        ASSERT_TRUE(Testing::WritePngRgba((h.folder / "images" / name).string() + ".png", 1, 1,
                                          {0xFFFFFFFFu}));
        h.Start();
        ASSERT_EQ(h.platform.desktop.boxes.size(), 1u);
        EXPECT_EQ(h.platform.desktop.boxes[0].caption, "FATAL ERROR");
        EXPECT_EQ(
            h.platform.desktop.boxes[0].text.rfind(
                std::string("Failed to load images\\") + name + " (1 x 1 pixels, at least ", 0),
            0u)
            << h.platform.desktop.boxes[0].text;
        EXPECT_TRUE(h.app->quitRequested);
    }
}

TEST(ResourcesTest, UnusableDifficultyTableIsFatal) {
    for (const char* table : {"", "100 1.5 1 0.5", "0 0 0 0 0 0 0 0 0 0 0 0"}) {
        AppHarness h;
        fs::remove(h.folder / "data");
        fs::create_directory(h.folder / "data");
        for (const auto& entry : fs::directory_iterator(fs::path(GEMLODE_GAME_DIR) / "data"))
            if (entry.path().filename() != "diff.txt")
                fs::create_symlink(entry.path(), h.folder / "data" / entry.path().filename());
        std::ofstream(h.folder / "data" / "diff.txt") << table;
        h.Start();
        ASSERT_EQ(h.platform.desktop.boxes.size(), 1u) << table;
        EXPECT_EQ(h.platform.desktop.boxes[0].text, "Failed to load data\\diff.txt");
        EXPECT_TRUE(h.app->quitRequested);
    }
}

// The real loading thread reads images while the main thread keeps losing the display: no
// re-initialisation may purge or regenerate them under it (a race for the thread
// sanitizer, a use-after-free for the address sanitizer).
TEST(LoadingThreadTest, DisplayLostAgainAndAgainWhileTheResourcesLoad) {
    AppHarness h;
    h.app->Init();
    h.app->StartLoadingThread();
    int lost = 0;
    while (!h.app->loadingFinished) {
        h.platform.window.loseDisplayPresents = 1;
        h.app->PresentScreen();
        ++lost;
    }
    h.app->WaitForLoadingThread();
    EXPECT_GT(lost, 0);
    h.platform.window.loseDisplayPresents = 1;
    h.app->PresentScreen();  // restored once loading is over
    const int before = h.platform.window.presentCount;
    h.app->PresentScreen();
    EXPECT_EQ(h.platform.window.presentCount, before + 1);
    EXPECT_EQ(h.app->loadingDone, 61);
    EXPECT_TRUE(h.platform.desktop.boxes.empty());
}

// A damaged picture found by the loading thread: the box comes from the main thread, the
// run ends, and the program's exit code is 1.
TEST(LoadingThreadTest, GarbageImageIsFatalOnTheMainThreadWithExitCodeOne) {
    AppHarness h;
    fs::remove(h.folder / "images");
    fs::create_directory(h.folder / "images");
    for (const auto& entry : fs::directory_iterator(fs::path(GEMLODE_GAME_DIR) / "images"))
        if (entry.path().stem() != "sparkle")
            fs::create_symlink(entry.path(), h.folder / "images" / entry.path().filename());
    std::ofstream(h.folder / "images" / "sparkle.png") << "not a picture at all";
    h.app->Init();
    h.app->StartLoadingThread();
    while (!h.app->closing && !h.app->loadingFinished) h.app->ProcessFrame(false);
    h.app->WaitForLoadingThread();
    h.app->ProcessFrame(false);
    ASSERT_EQ(h.platform.desktop.boxes.size(), 1u);
    EXPECT_EQ(h.platform.desktop.boxes[0].text, "Failed to load images\\sparkle");
    EXPECT_EQ(h.platform.desktop.boxes[0].thread, std::this_thread::get_id());
    EXPECT_TRUE(h.app->closing);
    EXPECT_EQ(h.app->exitCode, 1);
}

TEST(ColorRulesTest, TimerBarHuesRunFromRedThroughYellowToGreen) {
    EXPECT_EQ(ImageColor::HslColor(0, 255, 128), Color(255, 1, 1));
    Color yellowish = ImageColor::HslColor(43, 255, 128);
    EXPECT_GT(yellowish.red, 200);
    EXPECT_GT(yellowish.green, 200);
    Color green = ImageColor::HslColor(85, 255, 128);
    EXPECT_LT(green.red, 10);
    EXPECT_GT(green.green, 250);
}

TEST(ColorRulesTest, WhiteColourisedCopyScalesEveryChannelBy255Over256) {
    MemoryImage source(nullptr);
    source.Create(1, 1);
    source.GetBits()[0] = 0xFF804020u;  // alpha 255, blue 0x80, green 0x40, red 0x20
    auto copy = ImageColor::ColorizedCopy(source, Color(255, 255, 255, 255), nullptr);
    uint32_t pixel = copy->GetBits()[0];
    EXPECT_EQ(pixel & 0xFF, (0x20u * 255) >> 8);
    EXPECT_EQ((pixel >> 8) & 0xFF, (0x40u * 255) >> 8);
    EXPECT_EQ((pixel >> 16) & 0xFF, (0x80u * 255) >> 8);
    EXPECT_EQ(pixel >> 24, 254u);
}

}  // namespace
}  // namespace Varn::test
