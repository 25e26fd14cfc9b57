// MemoryImage::StretchBlt: area-weighted enlargement and shrinking, checked against values
// worked out by hand from the two-pass filter.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/MemoryImage.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::Packed;
using Testing::PixelAt;

int Red(uint32_t p) {
    return int(p & 0xFF);
}
int Alpha(uint32_t p) {
    return int(p >> 24);
}

TEST(StretchBltTest, TwoByTwoEnlargedToFourByFour) {
    // Reds 200 100 / 0 50, opaque, into a transparent 4 x 4.
    // Horizontal (x257): positions 0, .5, 1, 1.5 -> cells 257a, 128a + 129b, 257b, 257b
    // (the right neighbour of the last column is the last column itself).
    // Vertical (x256): rows 256r0, 128r0 + 128r1, 256r1, 256r1 (bottom row clamped).
    // E.g. the cell (1, 1): 128 * (128*200 + 129*100) + 128 * (129*50) >> 16 = 87.
    // Blending an opaque colour over transparent black then scales by 255/256: 87 -> 86.
    std::vector<uint32_t> src = {Packed(200, 0, 0, 255), Packed(100, 0, 0, 255),
                                 Packed(0, 0, 0, 255), Packed(50, 0, 0, 255)};
    MemoryImage s(nullptr), d(nullptr);
    s.SetBits(src.data(), 2, 2);
    d.Create(4, 4);
    d.StretchBlt(&s, Rect(0, 0, 4, 4), FRect{0, 0, 2, 2}, Color::White, DrawMode::Normal);
    const int expected[4][4] = {
        {199, 149, 99, 99}, {99, 86, 74, 74}, {0, 24, 49, 49}, {0, 24, 49, 49}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Red(PixelAt(d, x, y)), expected[y][x]) << x << "," << y;
            EXPECT_EQ(Alpha(PixelAt(d, x, y)), 255);
        }
}

TEST(StretchBltTest, UniformSpriteShrunkFrom49To43) {
    // k = 43/49. Column 0 lies inside cell 1: floor(k * 257) = 225. Column 1 spans cells
    // 1 and 2: floor((2 - 1.8776) * 257) = 31 into cell 1. Cell 1 weighs 256 of 257.
    // Rows: floor(k * 256) = 224 plus floor(0.1224 * 256) = 31, so 255 of 256.
    // Red and alpha 255 * 256 * 255 >> 16 = 254; over transparent black: nA = 254,
    // w = 255, red 254 * 255 >> 8 = 253.
    MemoryImage s(nullptr), d(nullptr);
    s.Create(49, 49);
    Testing::FillAll(s, Packed(255, 0, 0, 255));
    d.Create(43, 43);
    d.StretchBlt(&s, Rect(0, 0, 43, 43), FRect{0, 0, 49, 49}, Color::White, DrawMode::Normal);
    EXPECT_EQ(PixelAt(d, 0, 0), Packed(253, 0, 0, 254));
}

TEST(StretchBltTest, GradientShrunkFrom49To43) {
    // Red = 5 * column. Destination column 1 (cell 2) takes column 1 with weight
    // floor(0.7551 * 257) = 194 and column 2 with floor((3 - 2.7551) * 257) = 62:
    // 194 * 5 + 62 * 10 = 1590; times the row weights 255 -> 405450 >> 16 = 6;
    // blended over transparent black: 6 * 255 >> 8 = 5, alpha 254 as above.
    std::vector<uint32_t> src(49 * 49);
    for (int y = 0; y < 49; ++y)
        for (int x = 0; x < 49; ++x) src[y * 49 + x] = Packed(x * 5, 0, 0, 255);
    MemoryImage s(nullptr), d(nullptr);
    s.SetBits(src.data(), 49, 49);
    d.Create(43, 43);
    d.StretchBlt(&s, Rect(0, 0, 43, 43), FRect{0, 0, 49, 49}, Color::White, DrawMode::Normal);
    EXPECT_EQ(PixelAt(d, 0, 0), Packed(0, 0, 0, 254));
    EXPECT_EQ(PixelAt(d, 1, 0), Packed(5, 0, 0, 254));
}

TEST(StretchBltTest, TransparentCellsLeaveDestinationAlone) {
    MemoryImage s(nullptr), d(nullptr);
    s.Create(4, 4);
    d.Create(2, 2);
    Testing::FillAll(d, Packed(1, 2, 3, 4));
    d.StretchBlt(&s, Rect(0, 0, 2, 2), FRect{0, 0, 4, 4}, Color::White, DrawMode::Normal);
    EXPECT_EQ(PixelAt(d, 1, 1), Packed(1, 2, 3, 4));
}

TEST(StretchBltTest, OneToOneCopyMatchesOpaqueBlend) {
    std::vector<uint32_t> src = {Packed(10, 20, 30, 255), Packed(40, 50, 60, 255)};
    MemoryImage s(nullptr), d(nullptr);
    s.SetBits(src.data(), 2, 1);
    d.Create(2, 1);
    d.StretchBlt(&s, Rect(0, 0, 2, 1), FRect{0, 0, 2, 1}, Color::White, DrawMode::Normal);
    // k = 1: one column per cell at weight 257, one row at 256: exact colours, then the
    // opaque blend's 255/256 (40 -> 39, 10 -> 9).
    EXPECT_EQ(PixelAt(d, 1, 0), Packed(39, 49, 59, 255));
    EXPECT_EQ(PixelAt(d, 0, 0), Packed(9, 19, 29, 255));
}

TEST(StretchBltTest, HostileRectanglesStayInsideTheImages) {
    MemoryImage s(nullptr), d(nullptr);
    s.Create(3, 3);
    Testing::FillAll(s, Packed(255, 255, 255, 255));
    d.Create(5, 5);
    d.StretchBlt(&s, Rect(-4, 3, 20, 20), FRect{-7.5, 2.25, 100, 0.5}, Color::White, 0);
    d.StretchBlt(&s, Rect(0, 0, 5, 5), FRect{0, 0, 0, 3}, Color::White, 0);
    d.StretchBlt(&s, Rect(0, 0, 0, 5), FRect{0, 0, 3, 3}, Color::White, 0);
    d.StretchBlt(&s, Rect(0, 0, 5, 5), FRect{1e300, 0, 3, 3}, Color::White, 0);
    EXPECT_GT(Alpha(PixelAt(d, 0, 4)), 0);  // the first call did draw, clamped
    EXPECT_EQ(PixelAt(d, 0, 0), 0u);
}

}  // namespace
}  // namespace Varn
