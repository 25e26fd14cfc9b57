// The surface drawers against values worked out by hand, in 5-6-5 and x8r8g8b8: fills,
// additive fills, blended, tinted and copied blits with run-length skipping, additive
// blits, lines.
#include <gtest/gtest.h>

#include "DisplayTestSupport.h"

namespace Varn::DisplayTest {
namespace {

TEST(DrawerFillTest, OpaqueFillRoundsEachChannelDownByItsMask) {
    Display d16(16), d32(32);
    d16.Screen().FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255), DrawMode::Normal);
    d32.Screen().FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255), DrawMode::Normal);
    EXPECT_EQ(d16.Raw(3, 3), Rgb565(30, 62, 30));  // red 255 becomes 30 of 31
    EXPECT_EQ(d32.Raw(3, 3), Xrgb(254, 254, 254));
    EXPECT_EQ(d32.Raw(4, 3), 0u);  // outside the rectangle
}

TEST(DrawerFillTest, TranslucentFillAddsPremultipliedColourToScaledDestination) {
    Display d16(16), d32(32);
    d16.FillRaw(Rgb565(8, 24, 16));
    d32.FillRaw(Xrgb(64, 96, 128));
    Color c(200, 100, 50, 128);
    d16.Screen().FillRect(Rect(1, 1, 2, 2), c, DrawMode::Normal);
    d32.Screen().FillRect(Rect(1, 1, 2, 2), c, DrawMode::Normal);
    EXPECT_EQ(d16.Raw(2, 2), Rgb565(16, 24, 11));
    EXPECT_EQ(d32.Raw(2, 2), Xrgb(132, 98, 89));
    EXPECT_EQ(d32.Raw(0, 0), Xrgb(64, 96, 128));
}

TEST(DrawerFillTest, AlphaZeroFillLeavesEveryPixelUnchanged) {
    for (int depth : {16, 32}) {
        Display d(depth);
        uint32_t before = depth == 16 ? Rgb565(31, 1, 17) : Xrgb(255, 1, 77);
        d.FillRaw(before);
        d.Screen().FillRect(Rect(0, 0, 64, 16), Color(9, 200, 30, 0), DrawMode::Normal);
        EXPECT_EQ(d.Raw(10, 10), before) << depth;
    }
}

TEST(DrawerFillTest, AdditiveWhiteFillSaturatesEveryChannel) {
    Display d16(16), d32(32);
    d16.FillRaw(Rgb565(31, 63, 31));  // sums reach twice the channel maximum
    d32.FillRaw(Xrgb(1, 128, 255));
    d16.Screen().FillRect(Rect(0, 0, 64, 16), Color::White, DrawMode::Additive);
    d32.Screen().FillRect(Rect(0, 0, 64, 16), Color::White, DrawMode::Additive);
    EXPECT_EQ(d16.Raw(5, 5), 0xFFFFu);
    EXPECT_EQ(d32.Raw(5, 5), 0x00FFFFFFu);
}

TEST(DrawerFillTest, AdditiveFillReducesColourToChannelWidthsAndIgnoresAlpha) {
    Display d16(16), d32(32);
    d16.FillRaw(Rgb565(30, 62, 0));
    d32.FillRaw(0xAB000000u | Xrgb(250, 8, 10));
    d16.Screen().FillRect(Rect(0, 0, 1, 1), Color(16, 8, 8, 0), DrawMode::Additive);
    d32.Screen().FillRect(Rect(0, 0, 1, 1), Color(16, 8, 250, 0), DrawMode::Additive);
    EXPECT_EQ(d16.Raw(0, 0), Rgb565(31, 63, 1));   // 2 + 30, 2 + 62, 1 + 0
    EXPECT_EQ(d32.Raw(0, 0), Xrgb(255, 16, 255));  // top byte cleared
}

TEST(DrawerFillTest, UnknownDrawModeDrawsNothing) {
    Display d(32);
    d.FillRaw(Xrgb(1, 2, 3));
    d.Screen().FillRect(Rect(0, 0, 4, 4), Color::White, 7);
    EXPECT_EQ(d.Raw(0, 0), Xrgb(1, 2, 3));
}

TEST(DrawerFillTest, RectangleReachingOutsideIsClippedToTheSurface) {
    Display d(16);
    d.Screen().NormalFillRect(Rect(60, 14, 100, 100), Color(0, 0, 255));
    EXPECT_EQ(d.Raw(63, 15), Rgb565(0, 0, 30));
    EXPECT_EQ(d.Raw(59, 15), 0u);
}

// Source row: transparent, opaque (200, 100, 50), half-transparent (200, 100, 50, 128).
std::unique_ptr<MemoryImage> MixedRow() {
    return Picture({Packed(9, 9, 9, 0), Packed(200, 100, 50), Packed(200, 100, 50, 128)}, 3);
}

TEST(DrawerBltTest, BlendedBlitCopiesOpaqueSkipsTransparentAndBlendsPartial) {
    Display d32(32);
    d32.FillRaw(Xrgb(64, 96, 128));
    auto row = MixedRow();
    d32.Screen().Blt(row.get(), 10, 2, Rect(0, 0, 3, 1), Color::White, DrawMode::Normal);
    EXPECT_EQ(d32.Raw(10, 2), Xrgb(64, 96, 128));
    EXPECT_EQ(d32.Raw(11, 2) & 0xFFFFFF, Xrgb(198, 98, 48));  // premultiplied by 255/256 twice
    EXPECT_EQ(d32.Raw(12, 2) & 0xFFFFFF, Xrgb(99 + 32, 49 + 48, 24 + 64));

    Display d16(16);
    d16.FillRaw(Rgb565(8, 24, 16));
    row = MixedRow();  // the premultiplied copy is cached for one layout
    d16.Screen().Blt(row.get(), 10, 2, Rect(0, 0, 3, 1), Color::White, DrawMode::Normal);
    EXPECT_EQ(d16.Raw(10, 2), Rgb565(8, 24, 16));
    EXPECT_EQ(d16.Raw(11, 2), Rgb565(24, 24, 5));
}

TEST(DrawerBltTest, ThreeHundredOpaquePixelsAreCopiedAsRunsOf255And45) {
    std::vector<uint32_t> pixels(302, Packed(0, 0, 200));
    pixels[300] = Packed(0, 0, 200, 128);  // partial alpha: the blended path
    pixels[301] = Packed(0, 0, 0, 0);
    auto row = Picture(pixels, 302);
    const uint8_t* runs = row->GetRunLengthAlphaData();
    EXPECT_EQ(runs[0], 255);
    EXPECT_EQ(runs[255], 45);
    Display d(32, 320, 4);
    d.FillRaw(Xrgb(0, 0, 10));
    d.Screen().Blt(row.get(), 0, 1, Rect(0, 0, 302, 1), Color::White, DrawMode::Normal);
    for (int x : {0, 254, 255, 256, 299}) EXPECT_EQ(d.Raw(x, 1) & 0xFFFFFF, Xrgb(0, 0, 198)) << x;
    EXPECT_EQ(d.Raw(300, 1) & 0xFFFFFF, Xrgb(0, 0, 99 + 5));
    EXPECT_EQ(d.Raw(301, 1), Xrgb(0, 0, 10));
}

TEST(DrawerBltTest, RectangleStartingMidRunUsesTheRemainingRunLength) {
    // Five transparent red pixels, five opaque green ones, one partial pixel.
    std::vector<uint32_t> pixels(5, Packed(255, 0, 0, 0));
    pixels.insert(pixels.end(), 5, Packed(0, 255, 0));
    pixels.push_back(Packed(0, 255, 0, 100));
    for (int depth : {16, 32}) {
        auto row = Picture(pixels, 11);
        Display d(depth);
        uint32_t blue = depth == 16 ? Rgb565(0, 0, 20) : Xrgb(0, 0, 20);
        uint32_t green = depth == 16 ? Rgb565(0, 62, 0) : Xrgb(0, 253, 0);
        d.FillRaw(blue);
        d.Screen().Blt(row.get(), 0, 0, Rect(2, 0, 8, 1), Color::White, DrawMode::Normal);
        for (int x = 0; x < 3; ++x) EXPECT_EQ(d.Raw(x, 0), blue) << depth << " x " << x;
        for (int x = 3; x < 8; ++x) EXPECT_EQ(d.Raw(x, 0) & 0xFFFFFF, green) << depth << " x " << x;
        EXPECT_EQ(d.Raw(8, 0), blue);
    }
}

TEST(DrawerBltTest, TranslucentTintBlendsOpaquePixelWithTheTintAlpha) {
    Display d(32);
    d.FillRaw(Xrgb(100, 100, 100));
    auto pixel = Picture({Packed(200, 100, 50)}, 1);
    d.Screen().Blt(pixel.get(), 0, 0, Rect(0, 0, 1, 1), Color(255, 255, 255, 128),
                   DrawMode::Normal);
    EXPECT_EQ(d.Raw(0, 0), Xrgb(149, 99, 74));
}

TEST(DrawerBltTest, OpaqueTintScalesEachChannel) {
    Display d(32);
    auto row = MixedRow();
    d.Screen().Blt(row.get(), 0, 0, Rect(0, 0, 2, 1), Color(255, 0, 0), DrawMode::Normal);
    EXPECT_EQ(d.Raw(1, 0), Xrgb(197, 0, 0));
    EXPECT_EQ(d.Raw(0, 0), 0u);
}

TEST(DrawerBltTest, CopyPathWritesOnlyVisiblePixelsOfAKeyedPicture) {
    for (int depth : {16, 32}) {
        Display d(depth);
        uint32_t grey = depth == 16 ? Rgb565(5, 5, 5) : Xrgb(5, 5, 5);
        d.FillRaw(grey);
        auto picture = Picture({Packed(0, 0, 0, 0), Packed(255, 255, 255)}, 2);
        ASSERT_TRUE(picture->HasTrans());
        ASSERT_FALSE(picture->HasAlpha());
        d.Screen().Blt(picture.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, DrawMode::Normal);
        EXPECT_EQ(d.Raw(0, 0), grey);
        EXPECT_EQ(d.Raw(1, 0) & 0xFFFFFF, depth == 16 ? Rgb565(30, 62, 30) : Xrgb(253, 253, 253));
    }
}

TEST(DrawerAdditiveTest, AllBlackSourceChangesNothing) {
    for (int depth : {16, 32}) {
        Display d(depth);
        uint32_t before = depth == 16 ? Rgb565(31, 0, 31) : Xrgb(255, 0, 255);
        d.FillRaw(before);
        std::vector<uint32_t> black(64 * 4, Packed(0, 0, 0));
        auto picture = Picture(black, 64);
        d.Screen().Blt(picture.get(), 0, 0, Rect(0, 0, 64, 4), Color::White, DrawMode::Additive);
        EXPECT_EQ(d.Raw(30, 2), before);
    }
}

TEST(DrawerAdditiveTest, PremultipliedSourceIsAddedWithSaturation) {
    Display d(32);
    d.FillRaw(Xrgb(200, 250, 10));
    auto pixel = Picture({Packed(100, 50, 25)}, 1);
    d.Screen().Blt(pixel.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, DrawMode::Additive);
    EXPECT_EQ(d.Raw(0, 0), Xrgb(255, 255, 33));  // adds (98, 48, 23)
}

TEST(DrawerAdditiveTest, TintScalesWhatIsAdded) {
    Display d(32);
    d.FillRaw(Xrgb(10, 20, 30));
    auto pixel = Picture({Packed(100, 50, 25)}, 1);
    d.Screen().Blt(pixel.get(), 0, 0, Rect(0, 0, 1, 1), Color(255, 128, 0), DrawMode::Additive);
    EXPECT_EQ(d.Raw(0, 0), Xrgb(10 + 97, 20 + 24, 30));
}

TEST(DrawerAdditiveTest, SixteenBitAdditionSaturatesAtChannelMaximum) {
    Display d(16);
    d.FillRaw(Rgb565(30, 60, 2));
    auto pixel = Picture({Packed(255, 255, 255)}, 1);  // native (30, 62, 30)
    d.Screen().Blt(pixel.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, DrawMode::Additive);
    EXPECT_EQ(d.Raw(0, 0), Rgb565(31, 63, 31));
}

std::vector<std::pair<int, int>> LitPixels(Display& d) {
    std::vector<std::pair<int, int>> lit;
    for (int y = 0; y < d.device.GetHeight(); ++y)
        for (int x = 0; x < d.device.GetWidth(); ++x)
            if (d.Raw(x, y) != 0) lit.emplace_back(x, y);
    return lit;
}

TEST(DrawerLineTest, ShallowLineStepsOnePixelPerColumnEitherDirection) {
    using Pixels = std::vector<std::pair<int, int>>;
    Pixels expected{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    Display forward(32), backward(32);
    forward.Screen().DrawLine(0, 0, 4, 2, Color::White, DrawMode::Normal);
    backward.Screen().DrawLine(4, 2, 0, 0, Color::White, DrawMode::Normal);
    EXPECT_EQ(LitPixels(forward), expected);
    EXPECT_EQ(LitPixels(backward), expected);
    EXPECT_EQ(forward.Raw(2, 1), Xrgb(254, 254, 254));
}

TEST(DrawerLineTest, SteepLineStepsOnePixelPerRow) {
    Display d(16);
    d.Screen().DrawLine(1, 0, 3, 6, Color(0, 0, 255), DrawMode::Normal);
    auto lit = LitPixels(d);
    ASSERT_EQ(lit.size(), 7u);
    for (int y = 0; y < 7; ++y) EXPECT_EQ(lit[std::size_t(y)].second, y);
    EXPECT_EQ(lit.front().first, 1);
    EXPECT_EQ(lit.back().first, 3);
}

TEST(DrawerLineTest, HorizontalAndVerticalLinesIncludeBothEnds) {
    Display d(32);
    d.Screen().DrawLine(5, 3, 2, 3, Color::White, DrawMode::Normal);
    d.Screen().DrawLine(9, 7, 9, 4, Color::White, DrawMode::Additive);
    EXPECT_EQ(LitPixels(d).size(), 4u + 4u);
    EXPECT_EQ(d.Raw(2, 3), Xrgb(254, 254, 254));
    EXPECT_EQ(d.Raw(9, 4), Xrgb(255, 255, 255));
}

TEST(DrawerLineTest, AdditiveLineAddsAndLineLeavingTheSurfaceIsCut) {
    Display d(32);
    d.FillRaw(Xrgb(100, 0, 0));
    d.Screen().DrawLine(-10, -5, 70, 35, Color(200, 10, 0), DrawMode::Additive);
    EXPECT_EQ(d.Raw(1, 5), Xrgb(100, 0, 0));
    EXPECT_EQ(d.Raw(20, 10), Xrgb(255, 10, 0));
}

}  // namespace
}  // namespace Varn::DisplayTest
