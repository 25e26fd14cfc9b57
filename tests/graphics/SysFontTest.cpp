// SysFont: metrics at 96 dpi, measuring, baseline placement, clipping and styles.
#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::PixelAt;

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

InkBox FindInk(MemoryImage& image) {
    InkBox box;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if (PixelAt(image, x, y) != 0) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

TEST(SysFontTest, SansSerifIsFoundAndSizedAt96Dpi) {
    SysFont font("SansSerif", 12);
    ASSERT_TRUE(font.IsValid());
    EXPECT_EQ(font.GetPixelSize(), 16);
    EXPECT_GT(font.GetAscent(), 10);
    EXPECT_LT(font.GetAscent(), 20);
    EXPECT_GT(font.GetDescent(), 0);
    EXPECT_EQ(font.GetHeight(), font.GetAscent() + font.GetDescent());
    EXPECT_EQ(SysFont("SansSerif", 9).GetPixelSize(), 12);
    EXPECT_EQ(SysFont("SansSerif", 10).GetPixelSize(), 13);  // 13.33 rounds down
}

TEST(SysFontTest, WidthsAddUpWithoutKerning) {
    SysFont font("SansSerif", 12);
    EXPECT_EQ(font.StringWidth(""), 0);
    EXPECT_EQ(font.StringWidth("AV"), font.CharWidth('A') + font.CharWidth('V'));
    EXPECT_GT(font.StringWidth("WWW"), font.StringWidth("iii"));
    EXPECT_GT(SysFont("SansSerif", 12, true).StringWidth("Hello"), font.StringWidth("Hello"));
}

TEST(SysFontTest, TextSitsOnTheBaselineOneBelowY) {
    SysFont font("SansSerif", 12);
    MemoryImage image(nullptr);
    image.Create(100, 60);
    Graphics g(&image);
    g.SetFont(&font);
    g.SetColor(Color(255, 0, 0));
    g.Translate(5, 10);
    g.DrawString("H", 10, 20);
    InkBox ink = FindInk(image);
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(ink.bottom, 30);  // baseline at 10 + 20 + 1; the H ends on the row above
    EXPECT_GE(ink.left, 15);
    EXPECT_GE(ink.top, 30 + 1 - font.GetAscent());
    // Full coverage takes the colour exactly, whatever its alpha.
    bool exact = false;
    for (int y = ink.top; y <= ink.bottom; ++y)
        for (int x = ink.left; x <= ink.right; ++x)
            exact |= PixelAt(image, x, y) == Testing::Packed(255, 0, 0, 255);
    EXPECT_TRUE(exact);
}

TEST(SysFontTest, DrawingHonoursTheClip) {
    SysFont font("SansSerif", 14);
    MemoryImage image(nullptr);
    image.Create(100, 40);
    Graphics g(&image);
    g.SetFont(&font);
    g.SetColor(Color::White);
    g.ClipRect(0, 0, 12, 40);
    g.DrawString("MMMMMM", 2, 25);
    InkBox ink = FindInk(image);
    ASSERT_FALSE(ink.Empty());
    EXPECT_LE(ink.right, 11);
}

TEST(SysFontTest, UnderlineAddsInkBelowTheBaseline) {
    SysFont plain("SansSerif", 12), underlined("SansSerif", 12, false, false, true);
    MemoryImage a(nullptr), b(nullptr);
    a.Create(80, 40);
    b.Create(80, 40);
    Graphics ga(&a), gb(&b);
    ga.SetFont(&plain);
    gb.SetFont(&underlined);
    ga.DrawString("mo", 0, 20);
    gb.DrawString("mo", 0, 20);
    EXPECT_LE(FindInk(a).bottom, 20);
    EXPECT_GT(FindInk(b).bottom, 21);
}

TEST(SysFontTest, OtherDestinationsDrawNothing) {
    SysFont font("SansSerif", 12);
    Testing::RecordingImage target(100, 100);
    Graphics g(&target);
    g.SetFont(&font);
    g.DrawString("Hello", 10, 20);
    EXPECT_TRUE(target.calls.empty());
}

TEST(SysFontTest, DuplicateKeepsMetricsAndWidths) {
    SysFont font("SansSerif", 11, true, true);
    auto copy = font.Duplicate();
    EXPECT_EQ(copy->GetAscent(), font.GetAscent());
    EXPECT_EQ(copy->GetHeight(), font.GetHeight());
    EXPECT_EQ(copy->StringWidth("Options"), font.StringWidth("Options"));
}

TEST(SysFontTest, HighLatin1BytesAndControlCharactersAreSafe) {
    SysFont font("SansSerif", 12);
    std::string text = "\xe9\xfc\x01\x7f\xff";
    EXPECT_GE(font.StringWidth(text), 0);
    MemoryImage image(nullptr);
    image.Create(10, 10);
    Graphics g(&image);
    g.SetFont(&font);
    g.DrawString(text, -3, 5);
}

}  // namespace
}  // namespace Varn
