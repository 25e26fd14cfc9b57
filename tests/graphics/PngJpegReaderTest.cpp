// PNG and JPEG reading through libpng and libjpeg: every PNG variant becomes 8-bit RGBA,
// grey-scale JPEGs become RGB, damaged files give null.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "graphics/ImageLoader.h"
#include "tests/graphics/ImageFileWriters.h"

namespace Varn {
namespace {

std::string TempPath(const std::string& name) {
    return testing::TempDir() + "reader_" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int Channel(uint32_t p, int c) {
    return int(p >> (8 * c) & 0xFF);
}

TEST(PngReaderTest, ReadsRgbaExactly) {
    std::string path = TempPath("rgba.png");
    std::vector<uint32_t> px = {0x80102030u, 0xFF0000FFu, 0x00FFFFFFu, 0x01020304u};
    ASSERT_TRUE(Testing::WritePngRgba(path, 2, 2, px));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(picture->pixels[i], px[i]);
}

TEST(PngReaderTest, RgbWithoutAlphaIsOpaque) {
    std::string path = TempPath("rgb.png");
    ASSERT_TRUE(Testing::WritePng(path, 2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF030201u);
    EXPECT_EQ(picture->pixels[1], 0xFF060504u);
}

TEST(PngReaderTest, SixteenBitSamplesAreReducedNotOverflowed) {
    std::string path = TempPath("rgba16.png");
    // One RGBA pixel per row, 16-bit big-endian samples; 3 x 1.
    std::vector<uint8_t> samples;
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 4; ++c) {
            samples.push_back(uint8_t(x * 80 + c * 10));  // high byte
            samples.push_back(0x7F);
        }
    ASSERT_TRUE(Testing::WritePng(path, 3, 1, PNG_COLOR_TYPE_RGBA, 16, samples));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    for (int x = 0; x < 3; ++x)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(Channel(picture->pixels[x], c), x * 80 + c * 10);
}

TEST(PngReaderTest, InterlacedPictureIsDeinterlaced) {
    std::string path = TempPath("interlaced.png");
    int w = 11, h = 9;
    std::vector<uint8_t> samples;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            samples.push_back(uint8_t(x * 20));
            samples.push_back(uint8_t(y * 25));
            samples.push_back(uint8_t(x + y));
        }
    ASSERT_TRUE(Testing::WritePng(path, w, h, PNG_COLOR_TYPE_RGB, 8, samples, true));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t expected =
                0xFF000000u | uint32_t(x + y) << 16 | uint32_t(y * 25) << 8 | uint32_t(x * 20);
            ASSERT_EQ(picture->pixels[y * w + x], expected) << x << "," << y;
        }
}

TEST(PngReaderTest, PaletteWithTransparencyChunkGetsAlpha) {
    std::string path = TempPath("palette.png");
    std::vector<png_color> palette = {{255, 0, 0}, {0, 0, 255}};
    ASSERT_TRUE(
        Testing::WritePng(path, 2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, false, palette, {0}));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0x000000FFu);
    EXPECT_EQ(picture->pixels[1], 0xFFFF0000u);
}

TEST(PngReaderTest, GreyAndLowBitGreyBecomeRgb) {
    std::string path = TempPath("grey.png");
    ASSERT_TRUE(Testing::WritePng(path, 2, 1, PNG_COLOR_TYPE_GRAY, 8, {7, 200}));
    auto picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[1], 0xFFC8C8C8u);
    ASSERT_TRUE(Testing::WritePng(path, 8, 1, PNG_COLOR_TYPE_GRAY, 1, {0x80}));
    picture = LoadPNGImage(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(picture->pixels[1], 0xFF000000u);
}

TEST(PngReaderTest, DamagedOrTruncatedFileGivesNull) {
    std::string path = TempPath("whole.png");
    ASSERT_TRUE(Testing::WritePngRgba(path, 4, 4, std::vector<uint32_t>(16, 0xFF00FF00u)));
    std::vector<uint8_t> bytes = ReadBytes(path);
    for (std::size_t n = 0; n + 12 < bytes.size(); n += 3)
        EXPECT_EQ(DecodePNG(bytes.data(), n), nullptr) << "cut at " << n;
    std::vector<uint8_t> damaged = bytes;
    damaged[40] ^= 0xFF;  // inside the image data: the checksum no longer matches
    EXPECT_EQ(DecodePNG(damaged.data(), damaged.size()), nullptr);
    EXPECT_EQ(LoadPNGImage(TempPath("missing.png")), nullptr);
}

TEST(PngReaderTest, ChunkLongerThanTheFileIsRefusedBeforeAllocation) {
    std::string path = TempPath("text.png");
    ASSERT_TRUE(Testing::WritePngRgba(path, 2, 2, std::vector<uint32_t>(4, 0xFF00FF00u)));
    std::vector<uint8_t> bytes = ReadBytes(path);
    // After the signature (8) and IHDR (25): a text chunk claiming 1.3 GB.
    std::vector<uint8_t> header = {0x50, 0, 0, 0, 't', 'E', 'X', 't', 'a', 'b'};
    bytes.insert(bytes.begin() + 33, header.begin(), header.end());
    EXPECT_EQ(DecodePNG(bytes.data(), bytes.size()), nullptr);
}

TEST(JpegReaderTest, ColourPictureIsOpaqueRgb) {
    std::string path = TempPath("colour.jpg");
    std::vector<uint8_t> samples;
    for (int i = 0; i < 16 * 16; ++i) samples.insert(samples.end(), {200, 100, 30});
    ASSERT_TRUE(Testing::WriteJpeg(path, 16, 16, 3, samples));
    auto picture = LoadJPEGImage(path);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 16);
    uint32_t p = picture->pixels[5 * 16 + 5];
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(Channel(p, 0), 200, 3);
    EXPECT_NEAR(Channel(p, 1), 100, 3);
    EXPECT_NEAR(Channel(p, 2), 30, 3);
}

TEST(JpegReaderTest, GreyScalePictureBecomesRgb) {
    std::string path = TempPath("grey.jpg");
    std::vector<uint8_t> samples(24 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 24; ++x) samples[y * 24 + x] = x < 12 ? 40 : 220;
    ASSERT_TRUE(Testing::WriteJpeg(path, 24, 8, 1, samples));
    auto picture = LoadJPEGImage(path);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->width, 24);
    uint32_t dark = picture->pixels[3 * 24 + 2], light = picture->pixels[3 * 24 + 21];
    EXPECT_NEAR(Channel(dark, 0), 40, 3);
    EXPECT_EQ(Channel(dark, 0), Channel(dark, 1));
    EXPECT_EQ(Channel(dark, 1), Channel(dark, 2));
    EXPECT_NEAR(Channel(light, 2), 220, 3);
    EXPECT_EQ(light >> 24, 0xFFu);
}

TEST(JpegReaderTest, DamagedFilesNeverCrash) {
    std::string path = TempPath("whole.jpg");
    std::vector<uint8_t> samples(32 * 32 * 3, 90);
    ASSERT_TRUE(Testing::WriteJpeg(path, 32, 32, 3, samples));
    std::vector<uint8_t> bytes = ReadBytes(path);
    EXPECT_EQ(DecodeJPEG(bytes.data(), 10), nullptr);  // header cut short
    for (std::size_t n = 0; n < bytes.size(); n += 7) {
        auto picture = DecodeJPEG(bytes.data(), n);
        if (picture) {
            EXPECT_EQ(picture->width, 32);  // data cut short: libjpeg pads
        }
    }
    std::vector<uint8_t> garbage = {0xFF, 0xD8, 0xFF, 0x01, 0x02, 0x03, 0x04, 0x05};
    EXPECT_EQ(DecodeJPEG(garbage.data(), garbage.size()), nullptr);
    EXPECT_EQ(LoadJPEGImage(TempPath("missing.jpg")), nullptr);
}

}  // namespace
}  // namespace Varn
