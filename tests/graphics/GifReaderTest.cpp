// The GIF decoder: signatures, tables, transparency, interlacing and damaged streams.
#include <gtest/gtest.h>

#include <random>

#include "graphics/ImageLoader.h"
#include "tests/graphics/ImageFileWriters.h"

namespace Varn {
namespace {

using Testing::GifSpec;
using Testing::LiteralCodes;
using Testing::MakeGif;

const std::vector<uint32_t> kColors = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};  // R G B W

std::unique_ptr<DecodedImage> Decode(const std::vector<uint8_t>& bytes) {
    return DecodeGIF(bytes.data(), bytes.size());
}

TEST(GifReaderTest, DecodesPaletteIndicesToOpaquePixels) {
    GifSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.globalColors = kColors;
    spec.codes = LiteralCodes({0, 1, 2, 3});
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 2);
    EXPECT_EQ(picture->pixels[0], 0xFF0000FFu);
    EXPECT_EQ(picture->pixels[1], 0xFF00FF00u);
    EXPECT_EQ(picture->pixels[2], 0xFFFF0000u);
    EXPECT_EQ(picture->pixels[3], 0xFFFFFFFFu);
}

TEST(GifReaderTest, TransparentIndexGivesZeroPixels) {
    GifSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.globalColors = kColors;
    spec.transparentIndex = 1;
    spec.codes = LiteralCodes({0, 1, 2});
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF0000FFu);
    EXPECT_EQ(picture->pixels[1], 0u);
    EXPECT_EQ(picture->pixels[2], 0xFFFF0000u);
}

TEST(GifReaderTest, LocalTableReplacesGlobal) {
    GifSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.globalColors = kColors;
    spec.localColors = {0x123456, 0, 0, 0};
    spec.codes = LiteralCodes({0});
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF123456u);
}

TEST(GifReaderTest, NoColourTableShowsGreyLevels) {
    GifSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.codes = LiteralCodes({0, 3});
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[1], 0xFF030303u);
}

TEST(GifReaderTest, InterlacedRowsGoToTheirPasses) {
    // Ten rows sent in pass order 0 8 | 4 | 2 6 | 1 3 5 7 9; row r gets index r % 4.
    GifSpec spec;
    spec.width = 1;
    spec.height = 10;
    spec.globalColors = kColors;
    spec.interlaced = true;
    std::vector<int> order = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    std::vector<int> indices;
    for (int r : order) indices.push_back(r % 4);
    spec.codes = LiteralCodes(indices);
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    for (int r = 0; r < 10; ++r)
        EXPECT_EQ(picture->pixels[r], 0xFF000000u | kColors[r % 4]) << "row " << r;
}

TEST(GifReaderTest, CodeEqualToNextFreeRepeatsThePreviousString) {
    // clear, 0, 6: code 6 is not yet defined, so it stands for "0" + "0".
    GifSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.globalColors = kColors;
    spec.codes = {4, 0, 6, 5};
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(picture->pixels[i], 0xFF0000FFu);
}

TEST(GifReaderTest, CodesBeyondTheTableEndDecodingAndKeepRowsTransparent) {
    GifSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.globalColors = kColors;
    spec.codes = {4, 1, 7, 2, 2, 5};  // 7 is above the next free code 6
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF00FF00u);
    EXPECT_EQ(picture->pixels[1], 0u);
    EXPECT_EQ(picture->pixels[3], 0u);
}

TEST(GifReaderTest, WideLiteralCodesStayInsideThePalette) {
    // Minimum code size 9 (beyond GIF's own limit of 8): literal 492 is byte 236, past the
    // four-entry table, so opaque black. Found by the fuzz target.
    GifSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.globalColors = kColors;
    spec.minimumCodeSize = 9;
    spec.codes = {512, 492, 513};
    auto picture = Decode(MakeGif(spec));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->pixels[0], 0xFF000000u);
    EXPECT_EQ(picture->pixels[1], 0u);
}

TEST(GifReaderTest, ZeroWidthOrHeightLoadsNothing) {
    GifSpec spec;
    spec.width = 0;
    spec.height = 5;
    spec.globalColors = kColors;
    spec.codes = LiteralCodes({0});
    EXPECT_EQ(Decode(MakeGif(spec)), nullptr);
    spec.width = 5;
    spec.height = 0;
    EXPECT_EQ(Decode(MakeGif(spec)), nullptr);
}

TEST(GifReaderTest, HugeDimensionsAreRefused) {
    GifSpec spec;
    spec.width = 65535;
    spec.height = 65535;
    spec.globalColors = kColors;
    spec.codes = LiteralCodes({0});
    EXPECT_EQ(Decode(MakeGif(spec)), nullptr);
}

TEST(GifReaderTest, OnlyFiveSignatureBytesAreChecked) {
    GifSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.globalColors = kColors;
    spec.codes = LiteralCodes({2});
    spec.signature = "GIF87?";
    EXPECT_NE(Decode(MakeGif(spec)), nullptr);
    spec.signature = "GIF88a";
    EXPECT_EQ(Decode(MakeGif(spec)), nullptr);
}

TEST(GifReaderTest, FileWithoutImageLoadsNothing) {
    std::vector<uint8_t> bytes = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    EXPECT_EQ(Decode(bytes), nullptr);
    bytes.pop_back();
    EXPECT_EQ(Decode(bytes), nullptr);
}

TEST(GifReaderTest, EveryTruncationIsHandled) {
    GifSpec spec;
    spec.width = 4;
    spec.height = 3;
    spec.globalColors = kColors;
    spec.transparentIndex = 2;
    spec.codes = LiteralCodes({0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3});
    std::vector<uint8_t> whole = MakeGif(spec);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + n);
        auto picture = Decode(cut);
        if (picture) {
            EXPECT_EQ(picture->width, 4);  // cut inside the pixel data: partial
        }
    }
}

TEST(GifReaderTest, RandomDamageNeverLeavesTheBuffers) {
    GifSpec spec;
    spec.width = 7;
    spec.height = 5;
    spec.globalColors = kColors;
    spec.interlaced = true;
    std::vector<int> indices(35);
    for (int i = 0; i < 35; ++i) indices[i] = i % 4;
    spec.codes = LiteralCodes(indices);
    std::vector<uint8_t> whole = MakeGif(spec);
    std::mt19937 random(42);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> damaged = whole;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = uint8_t(random());
        Decode(damaged);
    }
}

}  // namespace
}  // namespace Varn
