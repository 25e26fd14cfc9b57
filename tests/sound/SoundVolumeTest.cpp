// Tests of the volume curve of the sound effects:
// trunc((log10(9 x + 1) - 1) * 2333), and silence below -2000.
#include "sound/SoundVolume.h"

#include <gtest/gtest.h>

#include <cmath>

namespace Varn {
namespace {

TEST(VolumeToDecibels, FollowsTheLogarithmicCurve) {
    struct Case {
        double volume;
        int expected;
    };
    // Worked by hand: 0.5 -> log10(5.5) = 0.74036 -> -0.25964 * 2333 = -605.7.
    const Case cases[] = {
        {1.0, 0},      {0.85, -146}, {0.5, -605},   {0.4, -786},
        {0.25, -1138}, {0.1, -1682}, {0.05, -1956}, {0.0432, -2000},
    };
    for (const Case& c : cases) EXPECT_EQ(VolumeToDecibels(c.volume), c.expected) << c.volume;
}

TEST(VolumeToDecibels, BelowMinusTwentyDecibelsIsSilent) {
    EXPECT_EQ(VolumeToDecibels(0.043), -10000);  // -2001
    EXPECT_EQ(VolumeToDecibels(0.036), -10000);
    EXPECT_EQ(VolumeToDecibels(0.0), -10000);
    EXPECT_EQ(VolumeToDecibels(-0.5), -10000);
    EXPECT_EQ(VolumeToDecibels(std::nan("")), -10000);
}

TEST(VolumeToDecibels, LouderThanFullStaysFull) {
    EXPECT_EQ(VolumeToDecibels(2.0), 0);
}

}  // namespace
}  // namespace Varn
