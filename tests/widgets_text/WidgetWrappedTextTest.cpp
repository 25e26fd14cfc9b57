// Widget::DrawWrappedText and MeasureWrappedText: line breaking and the height returned.
#include <gtest/gtest.h>

#include "tests/widgets_text/TextTestFont.h"

namespace Varn {
namespace {

using Testing::TextFixture;

// Test font: ascent 10, height (and line spacing) 12, descent 2; letters 5, space 4.

TEST(WidgetWrappedTextTest, SecondWordThatDoesNotFitGoesAloneOnNextLine) {
    TextFixture f;
    int used = f.widget.DrawWrappedText(&f.g, Rect(3, 100, 20, 0), "AAA BBB", 12, -1);
    EXPECT_EQ(used, 10 + 12 + 2);
    ASSERT_EQ(f.DrawnText(), "AAABBB");
    EXPECT_EQ(f.target.calls[0].rect, Rect(3, 100, 5, 12));  // baseline 110
    EXPECT_EQ(f.target.calls[3].rect, Rect(3, 112, 5, 12));  // baseline 122, no leading space
}

TEST(WidgetWrappedTextTest, WordsThatFitShareALineWithTheirSpaces) {
    TextFixture f;
    int used = f.widget.DrawWrappedText(&f.g, Rect(0, 0, 100, 0), "AB  CD", 12, -1);
    EXPECT_EQ(used, 10 + 2);
    ASSERT_EQ(f.target.calls.size(), 4u);
    EXPECT_EQ(f.target.calls[2].rect.x, 10 + 8);  // two spaces of 4 kept
}

TEST(WidgetWrappedTextTest, LineBreaksStartNewLinesIncludingEmptyOnes) {
    TextFixture f;
    int used = f.widget.DrawWrappedText(&f.g, Rect(0, 0, 100, 0), "AA\n\nBB", 12, -1);
    EXPECT_EQ(used, 10 + 12 * 2 + 2);
    ASSERT_EQ(f.target.calls.size(), 4u);
    EXPECT_EQ(f.target.calls[2].rect.y, 24);  // third line: top at 34 - 10
}

TEST(WidgetWrappedTextTest, OverlongFirstWordFollowsAnEmptyLine) {
    TextFixture f;
    int used = f.widget.DrawWrappedText(&f.g, Rect(0, 0, 20, 0), "AAAAAA", 12, -1);
    EXPECT_EQ(used, 10 + 12 + 2);
    EXPECT_EQ(f.target.calls[0].rect.y, 12);
}

TEST(WidgetWrappedTextTest, MinusOneUsesTheFontLineSpacing) {
    TextFixture f;
    EXPECT_EQ(f.widget.DrawWrappedText(&f.g, Rect(0, 0, 20, 0), "AAA BBB CCC", -1, -1),
              10 + 12 * 2 + 2);
    TextFixture g;
    EXPECT_EQ(g.widget.DrawWrappedText(&g.g, Rect(0, 0, 20, 0), "AAA BBB CCC", 20, -1),
              10 + 20 * 2 + 2);
}

TEST(WidgetWrappedTextTest, ColourCodesAreNotMeasuredAndColourIsRestored) {
    TextFixture f;
    f.g.SetColor(Color(1, 2, 3));
    // "AAA" is 15 wide and the code adds nothing, so "^FF0000^AAA" still fits in 15.
    int used = f.widget.DrawWrappedText(&f.g, Rect(0, 0, 15, 0), "^FF0000^AAA BB", 12, -1);
    EXPECT_EQ(used, 10 + 12 + 2);
    ASSERT_EQ(f.target.calls.size(), 5u);
    EXPECT_EQ(f.target.calls[0].color, Color(255, 0, 0, 255));
    EXPECT_EQ(f.target.calls[4].color, Color(255, 0, 0, 255));  // lasts across lines
    EXPECT_EQ(f.g.GetColor(), Color(1, 2, 3));
}

TEST(WidgetWrappedTextTest, JustifiedLinesAreCentredInTheRectangle) {
    TextFixture f;
    f.widget.DrawWrappedText(&f.g, Rect(10, 0, 30, 0), "AB CDEF", 12, 0);
    ASSERT_EQ(f.target.calls.size(), 6u);
    EXPECT_EQ(f.target.calls[0].rect.x, 10 + 10);  // (30 - 10) / 2
    EXPECT_EQ(f.target.calls[2].rect.x, 10 + 5);   // (30 - 20) / 2
}

TEST(WidgetWrappedTextTest, MeasureMatchesDrawAndDrawsNothing) {
    TextFixture f;
    std::string text = "THE QUICK BROWN FOX\nJUMPS OVER   THE LAZY DOG";
    int measured = f.widget.MeasureWrappedText(&f.g, 60, text, -1);
    EXPECT_TRUE(f.target.calls.empty());
    EXPECT_EQ(measured, f.widget.DrawWrappedText(&f.g, Rect(0, 0, 60, 0), text, -1, 1));
}

TEST(WidgetWrappedTextTest, TrailingSpacesAndEmptyTextEndCleanly) {
    TextFixture f;
    EXPECT_EQ(f.widget.DrawWrappedText(&f.g, Rect(0, 0, 50, 0), "", 12, -1), 10 + 2 - 12);
    EXPECT_EQ(f.widget.DrawWrappedText(&f.g, Rect(0, 0, 50, 0), "AB   ", 12, -1), 10 + 2);
}

}  // namespace
}  // namespace Varn
