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

// The opaque part of an area of a picture (alpha of at least half): empty when right < left.
struct Extent {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};

Extent OpaqueExtent(MemoryImage& image, const Rect& area) {
    Extent e;
    const uint32_t* bits = image.GetBits();
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            if (bits[std::size_t(area.y + y) * image.GetWidth() + area.x + x] >> 24 >= 128) {
                e.left = std::min(e.left, x);
                e.right = std::max(e.right, x);
                e.top = std::min(e.top, y);
                e.bottom = std::max(e.bottom, y);
            }
    return e;
}

// Each shrunk gem is its sheet gem scaled into a centred square of its size.
TEST(ResourcesTest, ShrunkGemsAreCentredAtTheirSizes) {
    AppHarness h;
    h.Start();
    auto* sheet = static_cast<MemoryImage*>(h.app->GetImage(10));
    ASSERT_NE(sheet, nullptr);
    const int sizes[] = {43, 35, 29, 21, 15, 7};
    for (int kind = 0; kind < 7; ++kind) {
        const Extent full = OpaqueExtent(*sheet, Rect(2, 104 * kind, 49, 49));
        ASSERT_LE(full.left, full.right) << kind;
        for (int step = 0; step < 6; ++step) {
            auto* gem = static_cast<MemoryImage*>(h.app->ShrunkGem(kind, step));
            ASSERT_NE(gem, nullptr);
            EXPECT_EQ(gem->GetWidth(), 49);
            const Extent e = OpaqueExtent(*gem, Rect(0, 0, 49, 49));
            const int offset = (49 - sizes[step]) / 2;
            auto scaled = [&](int at) { return offset + (at + 0.5) * sizes[step] / 49 - 0.5; };
            // Area-weighted scaling blurs the edges by up to a pixel.
            EXPECT_NEAR(e.left, scaled(full.left), 1.5) << kind << " " << step;
            EXPECT_NEAR(e.right, scaled(full.right), 1.5) << kind << " " << step;
            EXPECT_NEAR(e.top, scaled(full.top), 1.5) << kind << " " << step;
            EXPECT_NEAR(e.bottom, scaled(full.bottom), 1.5) << kind << " " << step;
        }
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

// An empty or cut font descriptor would leave the fixed texts blank: fatal, naming it.
TEST(ResourcesTest, FontWithoutTheGlyphsItsTextsNeedIsFatal) {
    struct Case {
        const char* file;
        const char* text;
        const char* problem;
    };
    for (const Case& entry :
         {Case{"afont1.txt", "", "(no glyphs)"}, Case{"mainfont1.txt", "6\n14\n", "(no glyphs)"},
          Case{"afont1.txt", "6\n14\nA 7\n", "(no glyph for 'C')"},
          Case{"scorefont1.txt", "10\n26\n! 9\n", "(no glyph for '0')"}}) {
        const std::string file = entry.file;
        AppHarness h;
        fs::remove(h.folder / "data");
        fs::create_directory(h.folder / "data");
        for (const auto& data : fs::directory_iterator(fs::path(GEMLODE_GAME_DIR) / "data"))
            if (data.path().filename() != file)
                fs::create_symlink(data.path(), h.folder / "data" / data.path().filename());
        std::ofstream(h.folder / "data" / file) << entry.text;
        h.Start();
        ASSERT_EQ(h.platform.desktop.boxes.size(), 1u) << file;
        EXPECT_EQ(h.platform.desktop.boxes[0].text,
                  "Failed to load data\\" + file + " " + entry.problem);
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
