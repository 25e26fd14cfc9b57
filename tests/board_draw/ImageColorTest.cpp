// The colourised copy and the HSL colour rule.
#include <gtest/gtest.h>

#include "board/ImageColor.h"
#include "graphics/MemoryImage.h"

namespace Varn {
namespace {

TEST(ImageColorTest, ColorizedCopyScalesEveryChannelByTheTint) {
    MemoryImage source(nullptr);
    const std::uint32_t pixel = Color(200, 100, 50, 255).ToPacked();
    source.SetBits(&pixel, 1, 1);
    auto copy = ImageColor::ColorizedCopy(source, Color(102, 82, 70, 255), nullptr);
    ASSERT_EQ(copy->GetWidth(), 1);
    EXPECT_EQ(Color(copy->GetBits()[0]), Color(79, 32, 13, 254));
    // A white tint still scales by 255/256.
    auto white = ImageColor::ColorizedCopy(source, Color::White, nullptr);
    EXPECT_EQ(Color(white->GetBits()[0]), Color(199, 99, 49, 254));
}

TEST(ImageColorTest, TintAbove255SaturatesInstead) {
    MemoryImage source(nullptr);
    const std::uint32_t pixel = Color(200, 100, 50, 255).ToPacked();
    source.SetBits(&pixel, 1, 1);
    auto copy = ImageColor::ColorizedCopy(source, Color(510, 255, 0, 255), nullptr);
    EXPECT_EQ(Color(copy->GetBits()[0]), Color(255, 100, 0, 255));
}

TEST(ImageColorTest, EmptySourceGivesEmptyCopy) {
    MemoryImage source(nullptr);
    auto copy = ImageColor::ColorizedCopy(source, Color::White, nullptr);
    EXPECT_EQ(copy->GetWidth(), 0);
}

TEST(HslColorTest, TimerBarHuesRunFromRedThroughYellowToGreen) {
    EXPECT_EQ(ImageColor::HslColor(0, 255, 128), Color(255, 1, 1));
    EXPECT_EQ(ImageColor::HslColor(85, 255, 128), Color(0, 255, 1));
    const Color yellowish = ImageColor::HslColor(42, 255, 128);
    EXPECT_EQ(yellowish.red, 255);
    EXPECT_GT(yellowish.green, 240);
}

TEST(HslColorTest, SextantsAndGreys) {
    EXPECT_EQ(ImageColor::HslColor(128, 255, 128), Color(1, 255, 255));  // cyan side
    EXPECT_EQ(ImageColor::HslColor(171, 255, 128), Color(6, 1, 255));
    EXPECT_EQ(ImageColor::HslColor(100, 0, 77), Color(77, 77, 77));  // no saturation: grey
    EXPECT_EQ(ImageColor::HslColor(0, 255, 148),
              Color(255, 41, 41));  // the message rainbow's first row
    EXPECT_EQ(ImageColor::HslColor(-5, 300, 999), ImageColor::HslColor(0, 255, 255));  // clamped
}

}  // namespace
}  // namespace Varn
