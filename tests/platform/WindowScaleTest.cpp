// The window's picture scale for the desktop's usable area, and the picture's place in an
// output with the pointer mapped back to picture pixels.
#include "platform/WindowScale.h"

#include <gtest/gtest.h>

#include <tuple>

namespace Varn {
namespace {

struct ScaleCase {
    int usableWidth, usableHeight, requested, scale;
};

TEST(WindowScale, AutomaticIsTheLargestThatFitsWithItsFrameAndAChoiceIsClampedToThat) {
    const ScaleCase cases[] = {
        {800, 600, 0, 1},   {1920, 1080, 0, 2}, {2560, 1440, 0, 2}, {3840, 2160, 0, 4},
        {1920, 1008, 0, 2}, {1920, 1007, 0, 1}, {0, 0, 0, 1},       {3840, 2160, 3, 3},
        {3840, 2160, 1, 1}, {1920, 1080, 3, 2}, {1920, 1080, 8, 2}, {3840, 2160, 9, 4},
        {6000, 4000, 0, 8}, {640, 480, 2, 1},
    };
    for (const ScaleCase& c : cases)
        EXPECT_EQ(ChooseWindowScale(c.requested, c.usableWidth, c.usableHeight, 640, 480), c.scale)
            << c.usableWidth << "x" << c.usableHeight << " asking " << c.requested;
}

TEST(WindowScale, PointerIsDividedByTheScaleLessTheBars) {
    PicturePlacement window = PlacePicture(1920, 1440, 640, 480);
    EXPECT_EQ(window.scale, 3);
    EXPECT_EQ(window.ToPictureX(3 * 96 + 2), 96);
    EXPECT_EQ(window.ToPictureY(3 * 261), 261);
    PicturePlacement screen = PlacePicture(3840, 2160, 640, 480);
    EXPECT_EQ(screen.scale, 4);
    EXPECT_EQ(screen.left, 640);
    EXPECT_EQ(screen.top, 120);
    EXPECT_EQ(screen.ToPictureX(640 + 4 * 639 + 3), 639);
    EXPECT_EQ(screen.ToPictureX(639), -1);
    EXPECT_FALSE(screen.Contains(639, 500));
    EXPECT_FALSE(screen.Contains(700, 120 + 1920));
    EXPECT_TRUE(screen.Contains(640, 120));
}

TEST(WindowScale, FullScreenFillsScreensWhereTheWholeMultipleLeavesTooMuchBlack) {
    const int screens[][5] = {// width, height, filled, shown width and height
                              {1280, 800, 1, 1067, 800},   {1366, 768, 1, 1024, 768},
                              {1600, 900, 1, 1200, 900},   {1920, 1080, 0, 1280, 960},
                              {2560, 1440, 0, 1920, 1440}, {3840, 2160, 0, 2560, 1920}};
    for (const auto& s : screens) {
        PicturePlacement p =
            PlaceFullScreenPicture(s[0], s[1], 640, 480, FullScreenScaling::Automatic);
        EXPECT_EQ(std::tuple(int(p.fill), p.shownWidth, p.shownHeight),
                  std::tuple(s[2], s[3], s[4]))
            << s[0] << "x" << s[1];
    }
    EXPECT_TRUE(PlaceFullScreenPicture(3840, 2160, 640, 480, FullScreenScaling::Fill).fill);
    EXPECT_FALSE(
        PlaceFullScreenPicture(1280, 800, 640, 480, FullScreenScaling::WholeMultiples).fill);
}

TEST(WindowScale, FillMapsEveryPicturePixelThereAndBack) {
    PicturePlacement p = PlaceFullScreenPicture(1280, 800, 640, 480, FullScreenScaling::Fill);
    EXPECT_EQ(p.left, 106);
    for (int x = 0; x < 640; ++x) ASSERT_EQ(p.ToPictureX(p.ToOutputX(x)), x);
    for (int y = 0; y < 480; ++y) ASSERT_EQ(p.ToPictureY(p.ToOutputY(y)), y);
    EXPECT_FALSE(p.Contains(105, 400));
    EXPECT_FALSE(p.Contains(106 + 1067, 400));
    EXPECT_TRUE(p.Contains(106 + 1066, 799));
}

}  // namespace
}  // namespace Varn
