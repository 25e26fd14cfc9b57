// MemoryImage::Blt: the blend arithmetic, tinting, run skipping and clipping.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/MemoryImage.h"
#include "tests/graphics/BlendReference.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::FillAll;
using Testing::Packed;
using Testing::PixelAt;
using Testing::ReferenceBlend;

uint32_t BlendOne(uint32_t dest, uint32_t source, const Color& tint = Color::White) {
    MemoryImage d(nullptr), s(nullptr);
    d.SetBits(&dest, 1, 1);
    s.SetBits(&source, 1, 1);
    d.Blt(&s, 0, 0, Rect(0, 0, 1, 1), tint, DrawMode::Normal);
    return PixelAt(d, 0, 0);
}

TEST(BlitTest, OpaqueWhiteOverBlackGives254) {
    EXPECT_EQ(BlendOne(Packed(0, 0, 0, 255), Packed(255, 255, 255, 255)),
              Packed(254, 254, 254, 255));
}

TEST(BlitTest, OpaqueWhiteOverWhiteKeepsGreenAndBlueWhole) {
    // Green in place: (0xFF00 * 1 >> 8) + (0xFF00 * 255 >> 8) = 0xFF00; red drops a bit.
    EXPECT_EQ(BlendOne(Packed(255, 255, 255, 255), Packed(255, 255, 255, 255)),
              Packed(254, 255, 255, 255));
}

TEST(BlitTest, HalfAlphaOverOpaqueMixesByWeight) {
    // nA = 255, w = 128: red 100 * 128 >> 8 = 50 plus 200 * 128 >> 8 = 100; blue in place
    // (100 * 128 + 255 * 128) >> 8 = 177; green 100 * 128 >> 8 = 50.
    EXPECT_EQ(BlendOne(Packed(100, 100, 100, 255), Packed(200, 0, 255, 128)),
              Packed(150, 50, 177, 255));
}

TEST(BlitTest, GreenAndBlueTruncateOnlyTheirSum) {
    // w = 128 * 255 / 255 = 128. Red 1 * 128 >> 8 = 0 twice: 0. Green and blue in place:
    // (1 * 128 + 1 * 128) >> 8 = 1.
    EXPECT_EQ(BlendOne(Packed(1, 1, 1, 255), Packed(1, 1, 1, 128)), Packed(0, 1, 1, 255));
}

TEST(BlitTest, PartialOverTransparentTakesSourceAlpha) {
    // dA = 0: nA = a = 100, w = 255; 255 * 255 >> 8 = 254.
    EXPECT_EQ(BlendOne(Packed(9, 9, 9, 0), Packed(255, 0, 0, 100)), Packed(254, 0, 0, 100));
}

TEST(BlitTest, TransparentSourceLeavesDestinationAlone) {
    EXPECT_EQ(BlendOne(Packed(1, 2, 3, 4), Packed(255, 255, 255, 0)), Packed(1, 2, 3, 4));
}

TEST(BlitTest, TintWithAlphaZeroLeavesDestinationAlone) {
    EXPECT_EQ(BlendOne(Packed(7, 8, 9, 200), Packed(255, 255, 255, 255), Color(255, 0, 0, 0)),
              Packed(7, 8, 9, 200));
}

TEST(BlitTest, TintedBlueInPlaceRoundsLikeRed) {
    // Magenta tint: tR = tB = 255, w = 255. Red: 3 * 255 * 255 >> 16 = 2. Blue in place:
    // (0x30000 * 255 >> 8) * 255 >> 8 = 0x2FA03, whose byte is 2 (taken out first it
    // would be (3 * 255 >> 8) * 255 >> 8 = 1).
    EXPECT_EQ(BlendOne(Packed(0, 0, 0, 255), Packed(3, 3, 3, 255), Color(255, 0, 255)),
              Packed(2, 0, 2, 255));
}

TEST(BlitTest, TintScalesSourceAlpha) {
    // Tint premultiplied: tR = 255 * 128 / 255 = 128. a = 128 * 255 / 255 = 128 over opaque
    // black: nA = 255, w = 128; red 200 * 128 * 128 >> 16 = 50.
    EXPECT_EQ(BlendOne(Packed(0, 0, 0, 255), Packed(200, 0, 0, 255), Color(255, 255, 0, 128)),
              Packed(50, 0, 0, 255));
}

// Random sprites with runs of each alpha class, blended at random offsets, must match the
// reference pixel for pixel.
class BlitMatchesReference : public ::testing::TestWithParam<Color> {};

TEST_P(BlitMatchesReference, EveryPixelMatches) {
    std::mt19937 random(1234);
    auto pixel = [&random](int alphaClass) {
        uint32_t rgb = random() & 0xFFFFFF;
        uint32_t a = alphaClass == 0 ? 0 : alphaClass == 1 ? 255 : 1 + random() % 254;
        return rgb | a << 24;
    };
    for (int round = 0; round < 20; ++round) {
        int sw = 1 + random() % 70, sh = 1 + random() % 9;
        std::vector<uint32_t> src(sw * sh), dst(80 * 12);
        int alphaClass = 0;
        for (auto& p : src) {
            if (random() % 5 == 0) alphaClass = random() % 3;
            p = pixel(alphaClass);
        }
        bool opaqueDest = round % 2 == 0;  // the fast path over opaque destinations
        for (auto& p : dst) p = pixel(opaqueDest ? 1 : random() % 3);
        MemoryImage s(nullptr), d(nullptr);
        s.SetBits(src.data(), sw, sh);
        d.SetBits(dst.data(), 80, 12);
        int sx = random() % sw, sy = random() % sh;
        Rect area(sx, sy, sw - sx, sh - sy);
        int x = random() % 10, y = random() % 3;
        d.Blt(&s, x, y, area, GetParam(), DrawMode::Normal);
        for (int row = 0; row < 12; ++row)
            for (int col = 0; col < 80; ++col) {
                uint32_t expected = dst[row * 80 + col];
                int u = col - x + sx, v = row - y + sy;
                if (u >= sx && u < sw && v >= sy && v < sh)
                    expected = ReferenceBlend(expected, src[v * sw + u], GetParam());
                ASSERT_EQ(PixelAt(d, col, row), expected)
                    << "round " << round << " at " << col << "," << row;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Tints, BlitMatchesReference,
                         ::testing::Values(Color::White, Color(255, 0, 255), Color(90, 200, 31, 77),
                                           Color(255, 255, 255, 254), Color(0, 0, 0, 255)));

TEST(BlitTest, SourceOfAnotherKindDrawsNothing) {
    MemoryImage d(nullptr);
    d.Create(2, 2);
    Testing::SizedImage other(2, 2);
    d.Blt(&other, 0, 0, Rect(0, 0, 2, 2), Color::White, DrawMode::Normal);
    EXPECT_EQ(PixelAt(d, 0, 0), 0u);
}

TEST(BlitTest, RectanglesBeyondEitherImageAreClipped) {
    MemoryImage s(nullptr), d(nullptr);
    s.Create(4, 4);
    FillAll(s, Packed(255, 255, 255, 255));
    d.Create(4, 4);
    d.Blt(&s, 2, -1, Rect(-3, 0, 40, 40), Color::White, DrawMode::Normal);
    // Source (0, 1) lands at destination (5, 0): outside. Source (0, 0) would land at (5, -1).
    // Only destination columns >= 5 would be covered, so nothing shows.
    EXPECT_EQ(PixelAt(d, 3, 0), 0u);
    d.Blt(&s, -2, -2, Rect(0, 0, 4, 4), Color::White, DrawMode::Normal);
    EXPECT_EQ(PixelAt(d, 1, 1), Packed(254, 254, 254, 255));
    EXPECT_EQ(PixelAt(d, 2, 2), 0u);
}

TEST(BlitTest, DrawModeIsIgnoredByMemoryImages) {
    MemoryImage d(nullptr), s(nullptr);
    uint32_t black = Packed(0, 0, 0, 255), white = Packed(255, 255, 255, 255);
    d.SetBits(&black, 1, 1);
    s.SetBits(&white, 1, 1);
    d.Blt(&s, 0, 0, Rect(0, 0, 1, 1), Color::White, DrawMode::Additive);
    EXPECT_EQ(PixelAt(d, 0, 0), Packed(254, 254, 254, 255));
}

}  // namespace
}  // namespace Varn
