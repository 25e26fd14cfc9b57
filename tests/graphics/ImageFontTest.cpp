// ImageFont: descriptor reading, case fallback, measuring and tinted drawing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::RecordingImage;
using Testing::SizedImage;

ImageFont FontFrom(Image* strip, const std::string& descriptor) {
    std::istringstream in(descriptor);
    return ImageFont(strip, in);
}

TEST(ImageFontTest, DescriptorExampleMeasures24) {
    SizedImage strip(13, 8);
    ImageFont font = FontFrom(&strip, "5 10\nA 6\nB 7\n");
    EXPECT_EQ(font.GlyphWidth(' '), 5);
    EXPECT_EQ(font.GlyphX(' '), -1);
    EXPECT_EQ(font.GetAscent(), 10);
    EXPECT_EQ(font.GlyphX('A'), 0);
    EXPECT_EQ(font.GlyphWidth('A'), 6);
    EXPECT_EQ(font.GlyphX('B'), 6);
    EXPECT_EQ(font.GlyphWidth('B'), 7);
    EXPECT_EQ(font.StringWidth("AB A"), 24);
    EXPECT_EQ(font.CharWidth('B'), 7);
}

TEST(ImageFontTest, HeightComesFromStripAndDescentMayBeNegative) {
    SizedImage strip(13, 8);
    ImageFont font = FontFrom(&strip, "5 10 A 6");
    EXPECT_EQ(font.GetHeight(), 8);
    EXPECT_EQ(font.GetDescent(), -2);
    EXPECT_EQ(font.GetLineSpacing(), 8);
}

TEST(ImageFontTest, LowerCaseFallsBackToCapitalsAndBack) {
    SizedImage strip(30, 8);
    ImageFont capitals = FontFrom(&strip, "5 8 A 6 B 7");
    EXPECT_EQ(capitals.StringWidth("ab"), capitals.StringWidth("AB"));
    ImageFont lower = FontFrom(&strip, "5 8 x 4");
    EXPECT_EQ(lower.StringWidth("X"), 4);
}

TEST(ImageFontTest, UnknownCharacterMeasuresZeroAndDrawsNothing) {
    SizedImage strip(30, 8);
    ImageFont font = FontFrom(&strip, "5 8 A 6");
    EXPECT_EQ(font.StringWidth("?"), 0);
    RecordingImage target(100, 100);
    Graphics g(&target);
    font.DrawString(&g, 0, 10, "? ", Color::White, Rect());
    EXPECT_TRUE(target.calls.empty());
}

TEST(ImageFontTest, RepeatedCharacterTakesLastEntry) {
    SizedImage strip(30, 8);
    ImageFont font = FontFrom(&strip, "5 8 A 6 B 3 A 9");
    EXPECT_EQ(font.GlyphX('A'), 9);
    EXPECT_EQ(font.GlyphWidth('A'), 9);
}

TEST(ImageFontTest, MissingDescriptorGivesFontWithoutGlyphs) {
    SizedImage strip(30, 8);
    ImageFont font(&strip, "/nonexistent/folder/font.txt");
    EXPECT_EQ(font.StringWidth("HELLO there"), 0);
    EXPECT_EQ(font.GetAscent(), 8);
    EXPECT_EQ(font.GetHeight(), 8);
}

TEST(ImageFontTest, ReadsDescriptorFile) {
    std::string path = testing::TempDir() + "imagefont_descriptor.txt";
    std::ofstream(path) << "4 7\nQ 3\n";
    SizedImage strip(3, 9);
    ImageFont font(&strip, path);
    EXPECT_EQ(font.StringWidth("Q Q"), 10);
    std::remove(path.c_str());
}

TEST(ImageFontTest, HostileWidthsEndTheDescriptor) {
    SizedImage strip(30, 8);
    ImageFont font = FontFrom(&strip, "5 8 A 6 B -3 C 4");
    EXPECT_EQ(font.GlyphWidth('A'), 6);
    EXPECT_EQ(font.GlyphWidth('B'), 0);
    EXPECT_EQ(font.GlyphWidth('C'), 0);
    ImageFont huge = FontFrom(&strip, "99999999999999 8 A 6");
    EXPECT_EQ(huge.StringWidth("A"), 0);
}

// Sections move pictures off the pen, set advances and kern pairs; a bad value ends them.
TEST(ImageFontTest, MetricsAndKerningSectionsPlaceAndKernGlyphs) {
    SizedImage strip(20, 8);
    ImageFont font =
        FontFrom(&strip, "5 8 A 6 B 7 @ 7 @metrics A -1 5 @kerning A B -2 B @ 9999 A A 1");
    EXPECT_EQ(font.StringWidth("AB AA"), 10 + 5 + 10);
    EXPECT_EQ(font.GetOverhang(), 1);
    RecordingImage target(100, 100);
    Graphics g(&target);
    font.DrawString(&g, 10, 8, "AB", Color::White, Rect());
    ASSERT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].rect, Rect(9, 0, 6, 8));
    EXPECT_EQ(target.calls[1].rect, Rect(13, 0, 7, 8));
}

TEST(ImageFontTest, DrawsGlyphsAtPenAboveBaselineTintedByContextColour) {
    SizedImage strip(13, 8);
    ImageFont font = FontFrom(&strip, "5 10 A 6 B 7");
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.Translate(1, 2);
    g.SetColor(Color(200, 10, 10));
    font.DrawString(&g, 3, 20, "A B", Color::White, Rect());
    ASSERT_EQ(target.calls.size(), 2u);
    EXPECT_EQ(target.calls[0].rect, Rect(4, 12, 6, 8));
    EXPECT_EQ(target.calls[0].source, Rect(0, 0, 6, 8));
    EXPECT_EQ(target.calls[1].rect, Rect(15, 12, 7, 8));  // 3 + 6 + 5, translated
    EXPECT_EQ(target.calls[1].source, Rect(6, 0, 7, 8));
    EXPECT_EQ(target.calls[0].color, Color(200, 10, 10));
    EXPECT_FALSE(g.GetColorizeImages());
}

TEST(ImageFontTest, GlyphsAreCutByTheContextClip) {
    SizedImage strip(13, 8);
    ImageFont font = FontFrom(&strip, "5 10 A 6 B 7");
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.ClipRect(8, 0, 100, 100);
    g.SetFont(&font);
    g.DrawString("AB", 0, 10);  // A covers 0-5 (clipped away), B covers 6-12
    ASSERT_EQ(target.calls.size(), 1u);
    EXPECT_EQ(target.calls[0].rect, Rect(8, 0, 5, 8));
    EXPECT_EQ(target.calls[0].source, Rect(8, 0, 5, 8));  // B's columns 2-6
}

TEST(ImageFontTest, DrawingLeavesColouriseFlagOn) {
    SizedImage strip(13, 8);
    ImageFont font = FontFrom(&strip, "5 10 A 6");
    RecordingImage target(100, 100);
    Graphics g(&target);
    g.SetColorizeImages(true);
    g.SetFont(&font);
    g.DrawString("A", 0, 10);
    EXPECT_TRUE(g.GetColorizeImages());
    EXPECT_EQ(target.calls.size(), 1u);
}

TEST(ImageFontTest, CopyWithOtherStripKeepsLayout) {
    SizedImage strip(13, 8), other(13, 8);
    ImageFont font = FontFrom(&strip, "5 10 A 6 B 7");
    ImageFont copy(font, &other);
    EXPECT_EQ(copy.GetStrip(), &other);
    EXPECT_EQ(copy.StringWidth("AB A"), 24);
    auto duplicate = font.Duplicate();
    EXPECT_EQ(duplicate->StringWidth("AB"), 13);
    EXPECT_EQ(duplicate->GetAscent(), 10);
}

}  // namespace
}  // namespace Varn
