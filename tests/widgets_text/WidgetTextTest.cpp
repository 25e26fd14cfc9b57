// Widget text operations: centring, shadows, colour codes, digit counting and digit strips.
#include <gtest/gtest.h>

#include <climits>

#include "graphics/MemoryImage.h"
#include "tests/widgets_text/TextTestFont.h"

namespace Varn {
namespace {

using Testing::TextFixture;

TEST(WidgetTextTest, CenteredTextStartsAtHalfTheSpareWidth) {
    TextFixture f;
    f.widget.width = 101;
    f.widget.DrawCenteredText(&f.g, 30, "AB");  // (101 - 10) / 2 = 45
    ASSERT_EQ(f.target.calls.size(), 2u);
    EXPECT_EQ(f.target.calls[0].rect, Rect(45, 20, 5, 12));
    EXPECT_EQ(f.target.calls[1].rect, Rect(50, 20, 5, 12));
}

TEST(WidgetTextTest, CenteredTextWiderThanWidgetTruncatesTowardZero) {
    TextFixture f;
    f.widget.width = 0;
    f.widget.DrawCenteredText(&f.g, 30, "ABC");  // (0 - 15) / 2 = -7
    ASSERT_FALSE(f.target.calls.empty());
    EXPECT_EQ(f.target.calls[0].rect.x, 0);
    EXPECT_EQ(f.target.calls[0].source.x, 7);  // clipped at the image edge
}

TEST(WidgetTextTest, ShadowIsDrawnFirstOffsetAndColourEndsAsText) {
    TextFixture f;
    Color text(10, 20, 30), shadow(0, 0, 0, 128);
    f.widget.DrawCenteredTextShadowed(&f.g, 30, "A", text, shadow);
    ASSERT_EQ(f.target.calls.size(), 2u);
    EXPECT_EQ(f.target.calls[0].rect, Rect(48, 22, 5, 12));
    EXPECT_EQ(f.target.calls[0].color, shadow);
    EXPECT_EQ(f.target.calls[1].rect, Rect(47, 20, 5, 12));
    EXPECT_EQ(f.target.calls[1].color, text);
    EXPECT_EQ(f.g.GetColor(), text);
}

TEST(WidgetTextTest, ColourCodeSwitchesColourAndIsNotMeasured) {
    TextFixture f;
    f.g.SetColor(Color(1, 2, 3));
    int w = f.widget.DrawCodedText(&f.g, "A^FF0000^B", 10, 40, 0, -1, true);
    EXPECT_EQ(w, 10);
    ASSERT_EQ(f.target.calls.size(), 2u);
    EXPECT_EQ(f.target.calls[0].color, Color(1, 2, 3));
    EXPECT_EQ(f.target.calls[1].color, Color(255, 0, 0, 255));
    EXPECT_EQ(f.target.calls[1].rect.x, 15);
    EXPECT_EQ(f.g.GetColor(), Color(255, 0, 0, 255));  // stays after the call
}

TEST(WidgetTextTest, DoubleCaretDrawsOneCaret) {
    TextFixture f;
    int w = f.widget.DrawCodedText(&f.g, "A^^B", 0, 40, 0, -1, true);
    EXPECT_EQ(w, 13);
    EXPECT_EQ(f.DrawnText(), "A^B");
}

TEST(WidgetTextTest, HexDigitsOfBothCasesAndOthersCountAsZero) {
    TextFixture f;
    f.widget.DrawCodedText(&f.g, "^fFzz1a^A", 0, 40, 0, -1, true);
    ASSERT_EQ(f.target.calls.size(), 1u);
    EXPECT_EQ(f.target.calls[0].color, Color(255, 0, 26, 255));
}

TEST(WidgetTextTest, CodeEndingTheTextIsRecognised) {
    TextFixture f;
    EXPECT_EQ(f.widget.DrawCodedText(&f.g, "A^00FF00^", 0, 40, 0, -1, true), 5);
    EXPECT_EQ(f.g.GetColor(), Color(0, 255, 0, 255));
    EXPECT_EQ(f.DrawnText(), "A");
}

TEST(WidgetTextTest, ShortCaretTailIsPlainText) {
    TextFixture f;
    EXPECT_EQ(f.widget.DrawCodedText(&f.g, "A^12", 0, 40, 0, -1, false), 5 + 3);
}

TEST(WidgetTextTest, MeasuringDoesNotDrawOrChangeColour) {
    TextFixture f;
    f.g.SetColor(Color(1, 2, 3));
    EXPECT_EQ(f.widget.DrawCodedText(&f.g, "AB^00FF00^C", 0, 40, 100, 0, false), 15);
    EXPECT_TRUE(f.target.calls.empty());
    EXPECT_EQ(f.g.GetColor(), Color(1, 2, 3));
}

TEST(WidgetTextTest, JustifyCentresRightAlignsOrLeavesLeft) {
    struct Case {
        int justify;
        int firstX;
    };
    for (Case c : {Case{0, 10 + 45}, Case{1, 10 + 90}, Case{-1, 10}, Case{2, 10}}) {
        TextFixture f;
        f.widget.DrawCodedText(&f.g, "A^FF0000^B", 10, 40, 100, c.justify, true);
        ASSERT_EQ(f.target.calls.size(), 2u);
        EXPECT_EQ(f.target.calls[0].rect.x, c.firstX) << "justify " << c.justify;
    }
}

TEST(WidgetTextTest, NoFontDrawsNothingAndMeasuresZero) {
    TextFixture f;
    f.g.SetFont(nullptr);
    EXPECT_EQ(f.widget.DrawCodedText(&f.g, "ABC", 0, 0, 0, -1, true), 0);
    EXPECT_EQ(f.widget.DrawWrappedText(&f.g, Rect(0, 0, 50, 0), "AB CD", -1, -1), 0);
    f.widget.DrawCenteredText(&f.g, 10, "AB");
    EXPECT_TRUE(f.target.calls.empty());
}

TEST(WidgetTextTest, CountDigitsCountsPowersOfTen) {
    Widget w;
    EXPECT_EQ(w.CountDigits(0), 1);
    EXPECT_EQ(w.CountDigits(9), 1);
    EXPECT_EQ(w.CountDigits(10), 2);
    EXPECT_EQ(w.CountDigits(99), 2);
    EXPECT_EQ(w.CountDigits(100), 3);
    EXPECT_EQ(w.CountDigits(999999999), 9);
    EXPECT_EQ(w.CountDigits(1000000000), 10);
    EXPECT_EQ(w.CountDigits(INT_MAX), 10);  // no overflow past the last power
}

TEST(WidgetTextTest, DigitStripShowsEachDigitsCell) {
    TextFixture f;
    MemoryImage strip(nullptr);
    strip.Create(100, 10);  // cells of 10
    EXPECT_EQ(f.widget.DrawDigitStrip(&f.g, 305, 5, 7, &strip, 2), 3);
    ASSERT_EQ(f.target.calls.size(), 3u);
    EXPECT_EQ(f.target.calls[0].rect, Rect(5, 7, 10, 10));
    EXPECT_EQ(f.target.calls[0].source, Rect(30, 0, 10, 10));
    EXPECT_EQ(f.target.calls[1].rect, Rect(17, 7, 10, 10));
    EXPECT_EQ(f.target.calls[1].source, Rect(0, 0, 10, 10));
    EXPECT_EQ(f.target.calls[2].rect, Rect(29, 7, 10, 10));
    EXPECT_EQ(f.target.calls[2].source, Rect(50, 0, 10, 10));
    EXPECT_EQ(f.g.GetClipRect(), Rect(0, 0, 400, 400));  // clipped copies only
}

TEST(WidgetTextTest, DigitStripOfZeroAndOfNegativeNumbers) {
    TextFixture f;
    MemoryImage strip(nullptr);
    strip.Create(100, 10);
    EXPECT_EQ(f.widget.DrawDigitStrip(&f.g, 0, 0, 0, &strip, 0), 1);
    EXPECT_EQ(f.widget.DrawDigitStrip(&f.g, -5, 0, 0, &strip, 0), 0);
    EXPECT_EQ(f.widget.DrawDigitStrip(&f.g, 7, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(f.target.calls.size(), 1u);
}

}  // namespace
}  // namespace Varn
