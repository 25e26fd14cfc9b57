// LoadImage: the extension search order, mask files and the mask merge, on real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/ImageLoader.h"
#include "tests/graphics/ImageFileWriters.h"

namespace Varn {
namespace {

namespace fs = std::filesystem;

class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(testing::TempDir()) /
                 ("loader_" +
                  std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    void Png(const std::string& name, int w, int h, uint32_t pixel) {
        ASSERT_TRUE(Testing::WritePngRgba(Path(name), w, h, std::vector<uint32_t>(w * h, pixel)));
    }
    void Jpeg(const std::string& name, int w, int h, uint8_t grey) {
        ASSERT_TRUE(Testing::WriteJpeg(Path(name), w, h, 1, std::vector<uint8_t>(w * h, grey)));
    }

    fs::path folder;
};

TEST_F(ImageLoaderTest, NameWithoutExtensionFindsThePngAfterJpegFails) {
    Png("sheet.png", 3, 2, 0xFF0000FFu);
    auto picture = LoadImage(Path("sheet"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->pixels[0], 0xFF0000FFu);
}

TEST_F(ImageLoaderTest, JpegComesBeforePngAndGif) {
    Jpeg("both.jpg", 8, 8, 128);
    Png("both.png", 5, 5, 0xFF0000FFu);
    auto picture = LoadImage(Path("both"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 8);
}

TEST_F(ImageLoaderTest, ExplicitExtensionLoadsOnlyThatKind) {
    Jpeg("both.jpg", 8, 8, 128);
    Png("both.png", 5, 5, 0xFF0000FFu);
    auto png = LoadImage(Path("both.PNG"));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->width, 5);
    EXPECT_EQ(LoadImage(Path("both.gif")), nullptr);
    EXPECT_EQ(LoadImage(Path("both.bmp")), nullptr);
}

TEST_F(ImageLoaderTest, DotInAFolderNameIsNotAnExtension) {
    fs::create_directories(folder / "v1.2");
    Png("v1.2/gem.png", 2, 2, 0xFF00FF00u);
    EXPECT_NE(LoadImage(Path("v1.2/gem")), nullptr);
    // A backslash separates too: the dot of "a.b" lies before it.
    Png("a.b\\gem.png", 2, 2, 0xFF00FF00u);
    EXPECT_NE(LoadImage(Path("a.b\\gem")), nullptr);
}

TEST_F(ImageLoaderTest, MaskRedChannelBecomesAlpha) {
    Png("gem.png", 2, 1, 0xFF112233u);
    ASSERT_TRUE(Testing::WritePngRgba(Path("_gem.png"), 2, 1, {0xFF000080u, 0xFF0000FFu}));
    auto picture = LoadImage(Path("gem"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0x80112233u);
    EXPECT_EQ(picture->pixels[1], 0xFF112233u);
}

TEST_F(ImageLoaderTest, JpegPictureTakesGreyMaskFromAnotherFormat) {
    Jpeg("back.jpg", 8, 8, 100);
    Jpeg("_back.jpg", 8, 8, 0);
    auto picture = LoadImage(Path("back"));
    ASSERT_NE(picture, nullptr);
    EXPECT_LE(picture->pixels[0] >> 24, 3u);
}

TEST_F(ImageLoaderTest, MaskOnePixelNarrowerIsIgnored) {
    Jpeg("wide.jpg", 8, 8, 100);
    Jpeg("_wide.jpg", 7, 8, 0);
    auto picture = LoadImage(Path("wide"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0] >> 24, 0xFFu);
    Png("plain.png", 4, 4, 0xFF445566u);
    Png("_plain.png", 3, 4, 0xFF000000u);
    EXPECT_EQ(LoadImage(Path("plain"))->pixels[5], 0xFF445566u);
}

TEST_F(ImageLoaderTest, UnderscoreNameLooksForNoFurtherMask) {
    Png("_solo.png", 2, 2, 0xFF0000FFu);
    Png("__solo.png", 2, 2, 0xFF000000u);  // would make the picture transparent
    auto picture = LoadImage(Path("_solo"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF0000FFu);
}

TEST_F(ImageLoaderTest, MaskKeepsTheExtensionOfAnExplicitName) {
    Png("icon.png", 1, 1, 0xFF0000FFu);
    Png("_icon.png", 1, 1, 0xFF000040u);
    auto picture = LoadImage(Path("icon.png"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0x400000FFu);
}

TEST_F(ImageLoaderTest, GifTransparentPixelsFollowTheMask) {
    Testing::GifSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.globalColors = {0x0000FF, 0x00FF00, 0, 0};
    spec.transparentIndex = 1;
    spec.codes = Testing::LiteralCodes({0, 1});
    Testing::WriteBytes(Path("blink.gif"), Testing::MakeGif(spec));
    auto alone = LoadImage(Path("blink"));
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->pixels[0], 0xFF0000FFu);
    EXPECT_EQ(alone->pixels[1], 0u);
    Png("_blink.png", 2, 1, 0xFF0000C0u);
    auto masked = LoadImage(Path("blink"));
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(masked->pixels[0], 0xC00000FFu);
    EXPECT_EQ(masked->pixels[1], 0xC0000000u);
}

TEST_F(ImageLoaderTest, MissingOrDamagedFilesGiveNull) {
    EXPECT_EQ(LoadImage(Path("nothing")), nullptr);
    Testing::WriteBytes(Path("broken.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
    EXPECT_EQ(LoadImage(Path("broken")), nullptr);
    EXPECT_EQ(LoadImage(Path("")), nullptr);
    EXPECT_EQ(LoadImage(folder.string() + "/"), nullptr);
}

}  // namespace
}  // namespace Varn
