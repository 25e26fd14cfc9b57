// Graphics: translation, clipping of every operation, state copies and DrawImageBox tiling.
#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::Call;
using Testing::RecordingImage;
using Testing::SizedImage;

TEST(GraphicsTest, StartsWithWholeImageClipBlackAndNormalMode) {
    RecordingImage target(30, 20);
    Graphics g(&target);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 30, 20));
    EXPECT_EQ(g.GetColor(), Color::Black);
    EXPECT_EQ(g.GetDrawMode(), DrawMode::Normal);
    EXPECT_FALSE(g.GetColorizeImages());
    EXPECT_EQ(g.GetFont(), nullptr);
}

TEST(GraphicsTest, NullDestinationDrawsNothingSafely) {
    Graphics g(nullptr);
    SizedImage picture(4, 4);
    g.FillRect(0, 0, 10, 10);
    g.DrawImage(&picture, 0, 0);
    g.DrawLine(0, 0, 5, 5);
    g.DrawString("text", 0, 0);
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 0, 0));
}

TEST(GraphicsTest, FillRectIsTranslatedAndClipped) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.Translate(10, 5);
    g.ClipRect(0, 0, 20, 20);  // (10, 5, 20, 20) in destination coordinates
    g.SetDrawMode(DrawMode::Additive);
    g.FillRect(-5, 10, 100, 100);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(10, 15, 20, 10));
    EXPECT_EQ(target.calls[0].mode, DrawMode::Additive);
}

TEST(GraphicsTest, FillRectWithTransparentColourDrawsNothingEvenAdditive) {
    RecordingImage target(10, 10);
    Graphics g(&target);
    g.SetDrawMode(DrawMode::Additive);
    g.SetColor(Color(255, 255, 255, 0));
    g.FillRect(0, 0, 5, 5);
    g.DrawRect(0, 0, 5, 5);
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, ClipOnlyShrinks) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(10, 10, 50, 50);
    g.ClipRect(0, 0, 100, 100);
    EXPECT_EQ(g.GetClipRect(), Rect(10, 10, 50, 50));
}

TEST(GraphicsTest, CopyCarriesStateAndLeavesOriginalAlone) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.SetColor(Color(1, 2, 3));
    Graphics copy(g);
    copy.Translate(5, 5);
    copy.ClipRect(0, 0, 10, 10);
    copy.SetColor(Color(9, 9, 9));
    EXPECT_EQ(copy.GetClipRect(), Rect(5, 5, 10, 10));
    EXPECT_EQ(g.GetClipRect(), Rect(0, 0, 100, 100));
    EXPECT_EQ(g.GetColor(), Color(1, 2, 3));
    EXPECT_EQ(g.GetTranslateX(), 0);
}

TEST(GraphicsTest, DrawRectOutlinesTenByTenForNineByNine) {
    MemoryImage image(nullptr);
    image.Create(12, 12);
    Graphics g(&image);
    g.SetColor(Color::White);
    g.DrawRect(0, 0, 9, 9);
    EXPECT_NE(Testing::PixelAt(image, 9, 9), 0u);
    EXPECT_NE(Testing::PixelAt(image, 9, 0), 0u);
    EXPECT_EQ(Testing::PixelAt(image, 10, 10), 0u);
    EXPECT_EQ(Testing::PixelAt(image, 5, 5), 0u);
}

TEST(GraphicsTest, DrawRectCutByClipDrawsOnlySurvivingEdges) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(0, 0, 6, 100);
    g.DrawRect(0, 0, 9, 9);
    ASSERT_EQ(target.calls.size(), 3u);
    EXPECT_EQ(target.calls[0].rect, Rect(0, 0, 1, 10));  // left column
    EXPECT_EQ(target.calls[1].rect, Rect(0, 0, 6, 1));   // clipped top row
    EXPECT_EQ(target.calls[2].rect, Rect(0, 9, 6, 1));   // clipped bottom row
}

TEST(GraphicsTest, DrawRectOutsideClipDrawsNothing) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(20, 20, 10, 10);
    g.DrawRect(0, 0, 19, 19);  // covers up to 19: touches, does not overlap
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, DrawImageClippedOnTheLeftShiftsTheSource) {
    RecordingImage target(100, 100);
    SizedImage picture(20, 10);
    Graphics g(&target);
    g.SetColor(Color(50, 60, 70));
    g.DrawImage(&picture, -5, 0);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(0, 0, 15, 10));
    EXPECT_EQ(target.calls[0].source, Rect(5, 0, 15, 10));
    EXPECT_EQ(target.calls[0].color, Color::White);  // colourise off
}

TEST(GraphicsTest, DrawImageTintsOnlyWhenColourising) {
    RecordingImage target(100, 100);
    SizedImage picture(4, 4);
    Graphics g(&target);
    g.SetColor(Color(50, 60, 70, 80));
    g.SetColorizeImages(true);
    g.DrawImage(&picture, 1, 1);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].color, Color(50, 60, 70, 80));
}

TEST(GraphicsTest, DrawImageSourceBeyondImageDrawsNothing) {
    RecordingImage target(100, 100);
    SizedImage picture(20, 10);
    Graphics g(&target);
    g.DrawImage(&picture, 0, 0, Rect(0, 0, 21, 10));
    g.DrawImage(&picture, 0, 0, Rect(0, 1, 20, 10));
    g.DrawImage(&picture, 200, 0, Rect(0, 0, 20, 10));  // fully clipped
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, DrawImageSourceRectangleClippedAtBottomRight) {
    RecordingImage target(100, 100);
    SizedImage picture(20, 10);
    Graphics g(&target);
    g.Translate(3, 4);
    g.ClipRect(0, 0, 10, 5);
    g.DrawImage(&picture, 2, 1, Rect(4, 2, 16, 8));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(5, 5, 8, 4));
    EXPECT_EQ(target.calls[0].source, Rect(4, 2, 8, 4));
}

TEST(GraphicsTest, StretchedImageClippedGetsFractionalSource) {
    RecordingImage target(100, 100);
    SizedImage picture(40, 40);
    Graphics g(&target);
    g.ClipRect(10, 0, 100, 100);
    // 30 source columns onto 20: sx = 1.5. Clipping 4 columns on the left starts the
    // source at 2 + 4 * 1.5 = 8 and removes 6 source columns.
    g.DrawImage(&picture, Rect(6, 0, 20, 20), Rect(2, 0, 30, 10));
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].op, "StretchBlt");
    EXPECT_EQ(target.calls[0].rect, Rect(10, 0, 16, 20));
    EXPECT_EQ(target.calls[0].fsource, (FRect{8, 0, 24, 10}));
}

TEST(GraphicsTest, StretchedImageFullyClippedDrawsNothing) {
    RecordingImage target(100, 100);
    SizedImage picture(40, 40);
    Graphics g(&target);
    g.DrawImage(&picture, Rect(200, 0, 20, 20), Rect(0, 0, 10, 10));
    g.DrawImage(&picture, Rect(0, 0, 0, 20), Rect(0, 0, 10, 10));
    EXPECT_TRUE(target.calls.empty());
}

TEST(GraphicsTest, DrawLineIsClippedToEachEdge) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(10, 10, 11, 11);  // edges 10 and 20 inclusive
    g.DrawLine(0, 15, 30, 15);
    g.DrawLine(0, 0, 30, 30);
    g.DrawLine(0, 0, 5, 50);   // entirely left of the clip
    g.DrawLine(15, 0, 15, 5);  // entirely above
    ASSERT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].x1, 10);
    EXPECT_EQ(target.calls[0].x2, 20);
    EXPECT_EQ(target.calls[0].y1, 15);
    EXPECT_EQ(target.calls[1].x1, 10);
    EXPECT_EQ(target.calls[1].y1, 10);
    EXPECT_EQ(target.calls[1].x2, 20);
    EXPECT_EQ(target.calls[1].y2, 20);
}

TEST(GraphicsTest, DrawLineIsTranslated) {
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.Translate(3, 4);
    g.DrawLine(1, 1, 2, 2);
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].x1, 4);
    EXPECT_EQ(target.calls[0].y2, 6);
}

// Counts Blt calls per source cell and the destination area they cover.
int CountSource(const std::vector<Call>& calls, int sx, int sy) {
    int n = 0;
    for (const Call& c : calls)
        if (c.op == "Blt" && c.source.x >= sx && c.source.x < sx + 4 && c.source.y >= sy &&
            c.source.y < sy + 4)
            ++n;
    return n;
}

TEST(GraphicsTest, ImageBoxOfExactlyThreeCellsDrawsEachCellOnce) {
    RecordingImage target(100, 100);
    SizedImage frame(12, 12);  // cells of 4 x 4
    Graphics g(&target);
    g.DrawImageBox(Rect(10, 10, 12, 12), &frame);
    ASSERT_EQ(target.calls.size(), 9u);
    for (int cy = 0; cy < 3; ++cy)
        for (int cx = 0; cx < 3; ++cx) EXPECT_EQ(CountSource(target.calls, cx * 4, cy * 4), 1);
}

TEST(GraphicsTest, ImageBoxTilesEdgesAndCutsTheLastTile) {
    RecordingImage target(100, 100);
    SizedImage frame(12, 12);
    Graphics g(&target);
    // Inner width 10 = 2.5 cells: (18 - 4 - 1) / 4 = 3 tiles, the last one cut by the clip.
    g.DrawImageBox(Rect(0, 0, 18, 12), &frame);
    EXPECT_EQ(CountSource(target.calls, 4, 0), 3);  // top edge
    EXPECT_EQ(CountSource(target.calls, 4, 8), 3);  // bottom edge
    EXPECT_EQ(CountSource(target.calls, 4, 4), 3);  // centre
    int coveredTop = 0;
    for (const Call& c : target.calls)
        if (c.op == "Blt" && c.source.y == 0 && c.source.x >= 4 && c.source.x < 8)
            coveredTop += c.rect.width;
    EXPECT_EQ(coveredTop, 10);
}

TEST(GraphicsTest, ImageBoxFromTooSmallImageDrawsNothing) {
    RecordingImage target(100, 100);
    SizedImage tiny(2, 2);
    Graphics g(&target);
    g.DrawImageBox(Rect(0, 0, 50, 50), &tiny);
    EXPECT_TRUE(target.calls.empty());
}

}  // namespace
}  // namespace Varn
