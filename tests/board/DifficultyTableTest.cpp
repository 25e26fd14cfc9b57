// Reading the difficulty table and judging whether it is playable.
#include <gtest/gtest.h>

#include <sstream>

#include "board/DifficultyTable.h"

namespace Varn {
namespace {

TEST(DifficultyTableTest, ReadsTwelveValuesInOrderAcrossBlanksTabsAndLines) {
    std::istringstream in("1000 250.5\t1.5\n0.25 \n 800 100 1 0.5\n10 2 1 0.5\n");
    DifficultyTable t;
    EXPECT_EQ(ReadDifficultyTable(in, t), 12);
    EXPECT_EQ(t.normalPointsBase, 1000);
    EXPECT_EQ(t.normalPointsGrowth, 250.5);
    EXPECT_EQ(t.normalMultiplierBase, 1.5);
    EXPECT_EQ(t.normalMultiplierGrowth, 0.25);
    EXPECT_EQ(t.timedPointsBase, 800);
    EXPECT_EQ(t.timedMultiplierGrowth, 0.5);
    EXPECT_EQ(t.drainRateBase, 10);
    EXPECT_EQ(t.drainAccelGrowth, 0.5);
    EXPECT_TRUE(t.IsPlayable());
}

TEST(DifficultyTableTest, ShortOrBrokenFileLeavesTheRestAtZero) {
    std::istringstream in("1000 2.5 oops 4");
    DifficultyTable t;
    EXPECT_EQ(ReadDifficultyTable(in, t), 2);
    EXPECT_EQ(t.normalMultiplierBase, 0.0);
    EXPECT_EQ(t.normalMultiplierGrowth, 0.0);
    EXPECT_FALSE(t.IsPlayable());
}

TEST(DifficultyTableTest, IntegerFieldReadsOnlyTheIntegerPart) {
    // Stream extraction of an int stops at the point; the rest is the next value.
    std::istringstream in("1000.75 1 1 500 0 1 0 1 1 1 1");
    DifficultyTable t;
    EXPECT_EQ(ReadDifficultyTable(in, t), 12);
    EXPECT_EQ(t.normalPointsBase, 1000);
    EXPECT_EQ(t.normalPointsGrowth, 0.75);
    EXPECT_EQ(t.timedPointsBase, 500);
}

TEST(DifficultyTableTest, MissingFileReadsNothing) {
    DifficultyTable t;
    EXPECT_EQ(ReadDifficultyTableFile("/nonexistent/diff.txt", t), 0);
    EXPECT_EQ(t.normalPointsBase, 0);
}

TEST(DifficultyTableTest, NonPositiveMultiplierOrPointsIsNotPlayable) {
    DifficultyTable good;
    good.normalPointsBase = good.timedPointsBase = 500;
    good.normalMultiplierBase = good.timedMultiplierBase = 1.0;
    EXPECT_TRUE(good.IsPlayable());
    DifficultyTable t = good;
    t.timedMultiplierBase = 0.0;
    EXPECT_FALSE(t.IsPlayable());
    t = good;
    t.normalMultiplierGrowth = -0.1;  // reaches zero at some level
    EXPECT_FALSE(t.IsPlayable());
    t = good;
    t.normalPointsBase = 0;
    EXPECT_FALSE(t.IsPlayable());
}

}  // namespace
}  // namespace Varn
