// The wavy rainbow message: fading, the sine offsets of the text columns, the
// rainbow fixed to the frame's rows, its place on the board, and releasing
// its images.
#include <gtest/gtest.h>

#include <cmath>

#include "board/BoardMessageFrame.h"
#include "board/BoardRenderer.h"
#include "board/ImageColor.h"
#include "tests/board_draw/DrawTestArt.h"
#include "tests/board_draw/DrawTestHost.h"
#include "tests/board_draw/DrawTestPixels.h"

namespace Varn::test {
namespace {

TEST(MessageAlphaTest, FadesInOverTheFirst75TicksAndOutOverTheLast75) {
    struct Case {
        int duration;
        int remaining;
        int alpha;
    };
    for (const Case& c :
         {Case{250, 250, 0}, Case{250, 249, 3}, Case{250, 176, 251}, Case{250, 175, 255},
          Case{250, 75, 255}, Case{250, 74, 251}, Case{250, 1, 3}, Case{250, 0, 0},
          // A short message: the fade-in rule comes first.
          Case{100, 30, 238}}) {
        EXPECT_EQ(MessageAlpha(c.duration, c.remaining), c.alpha)
            << c.duration << " / " << c.remaining;
    }
}

class MessageFrameTest : public ::testing::Test {
protected:
    BoardMessage Message(const std::string& text, int remaining, double phase) {
        BoardMessage m;
        m.text = text;
        m.width = art.OverFont()->StringWidth(text);
        m.height = art.OverFont()->GetHeight();
        m.ascent = art.OverFont()->GetAscent();
        m.active = true;
        m.duration = 400;
        m.remaining = remaining;
        m.phase = phase;
        return m;
    }
    static Color PixelOf(MemoryImage& image, int x, int y) {
        return Color(image.GetBits()[y * image.GetWidth() + x]);
    }
    static int Offset(int column, double phase) {
        return static_cast<int>((std::sin(0.024 * column + phase) + 1.0) * 24.0);
    }

    DrawTestArt art;
    BoardMessageFrame frame{nullptr};
};

TEST_F(MessageFrameTest, ColumnsFollowTheWaveAndRowsTheRainbow) {
    const BoardMessage m = Message("LEVEL 2", 200, 0.7);
    MemoryImage* image = frame.Render(m, art.OverFont());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), m.width);
    EXPECT_EQ(image->GetHeight(), m.height + BoardMessageFrame::kWaveHeight);
    for (int column : {0, 3, 20}) {
        const int offset = Offset(column, 0.7);
        // The glyph's top row lands offset rows down, coloured by that frame row.
        const Color row = ImageColor::HslColor(4 * offset % 256, 255, 148);
        const Color got = PixelOf(*image, column, offset);
        EXPECT_TRUE(ColorNear(got, row)) << "column " << column;
        EXPECT_NEAR(got.alpha, 255, 1);
        if (offset > 0) {
            EXPECT_EQ(PixelOf(*image, column, offset - 1).alpha, 0);
        }
        EXPECT_EQ(PixelOf(*image, column, offset + m.height).alpha, 0);
    }
}

TEST_F(MessageFrameTest, RainbowRepeatsEvery64Rows) {
    EXPECT_EQ(ImageColor::HslColor(4 * 70 % 256, 255, 148), ImageColor::HslColor(4 * 6, 255, 148));
}

TEST_F(MessageFrameTest, FadingScalesTheAlphaOnly) {
    const BoardMessage start = Message("GO!", 400, 0.0);  // nothing elapsed
    MemoryImage* image = frame.Render(start, art.OverFont());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelOf(*image, 1, Offset(1, 0.0)).alpha, 0);
    const BoardMessage later = Message("GO!", 360, 0.0);  // 40 ticks in: 136
    image = frame.Render(later, art.OverFont());
    EXPECT_EQ(PixelOf(*image, 1, Offset(1, 0.0)).alpha, 136 * 255 / 256);
}

// Pictures that reach past the pen (outlines, shadows) get room on both sides of the text.
TEST_F(MessageFrameTest, LeavesRoomForWhatReachesPastTheText) {
    std::istringstream in("4 10 G 6 @metrics G -2 3");
    ImageFont font(dynamic_cast<ImageFont*>(art.OverFont())->GetStrip(), in);
    BoardMessage m = Message("GG", 200, 0.0);
    m.width = font.StringWidth("GG");
    MemoryImage* image = frame.Render(m, &font);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 6 + 2 * 2);
}

TEST_F(MessageFrameTest, NoFontOrEmptyTextShowsNothing) {
    EXPECT_EQ(frame.Render(Message("GO!", 200, 0.0), nullptr), nullptr);
    BoardMessage empty = Message("", 200, 0.0);
    EXPECT_EQ(frame.Render(empty, art.OverFont()), nullptr);
    BoardMessage huge = Message("GO!", 200, 0.0);
    huge.width = 1 << 30;
    EXPECT_EQ(frame.Render(huge, art.OverFont()), nullptr);
}

TEST(BoardMessageDrawTest, MessageStandsAboveTheBoardCentre) {
    DrawTestHost host{3};
    DrawTestArt art;
    TestScreen screen;
    Board board(host, false);
    board.grid.Clear();
    board.state = BoardState::Idle;
    board.SetArt(&art);
    board.ShowMessage("GO!", 250);
    // ShowMessage takes the metrics from the host; make them the test font's.
    board.message.width = art.OverFont()->StringWidth("GO!");
    board.message.height = kFontHeight;
    board.message.ascent = kFontAscent;
    board.message.remaining = 150;          // fully faded in
    board.message.phase = -3.14159265 / 2;  // column 0 not shifted
    screen.Draw(board);
    const int left = 406 - board.message.width / 2;
    const int top = 219 - (kFontHeight + 48) / 2 - 480 / 6;
    EXPECT_TRUE(ColorNear(screen.At(left, top), ImageColor::HslColor(0, 255, 148), 4));
    EXPECT_FALSE(ColorNear(screen.At(left - 1, top), ImageColor::HslColor(0, 255, 148), 4));
}

}  // namespace
}  // namespace Varn::test
