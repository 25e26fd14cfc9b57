// The pad's directions from d-pad and stick: dead zone, stronger axis, release, repeats.
#include "platform/PadDirections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Varn {
namespace {

std::string Records(const std::vector<WindowMessage>& out) {
    static const char* kNames[] = {"up", "down", "left", "right"};
    std::string text;
    for (const WindowMessage& m : out)
        text += std::string(m.message == kMsgPadButtonDown ? "+" : "-") +
                kNames[m.wparam - kPadUp] + (m.lparam ? "(repeat) " : " ");
    return text;
}

struct StickCase {
    int x;
    int y;
    const char* records;
};

TEST(PadDirectionsTest, StickCountsPastTheDeadZoneAlongItsStrongerAxis) {
    const StickCase cases[] = {
        {PadDirections::kDeadZone, 0, ""},
        {PadDirections::kDeadZone + 1, 0, "+right "},
        {-20000, 12000, "+left "},
        {9000, -30000, "+up "},
        {0, 32767, "+down "},
    };
    for (const StickCase& c : cases) {
        PadDirections pad;
        std::vector<WindowMessage> out;
        pad.SetStick(c.x, c.y, 0, out);
        EXPECT_EQ(Records(out), c.records) << c.x << "," << c.y;
    }
}

TEST(PadDirectionsTest, StickHeldDirectionEndsOnlyBelowTheReleaseZone) {
    PadDirections pad;
    std::vector<WindowMessage> out;
    pad.SetStick(30000, 0, 0, out);
    pad.SetStick(PadDirections::kReleaseZone + 1, 0, 10, out);
    EXPECT_EQ(Records(out), "+right ");
    pad.SetStick(PadDirections::kReleaseZone, 0, 20, out);
    EXPECT_EQ(Records(out), "+right -right ");
}

TEST(PadDirectionsTest, HeldDirectionRepeatsAfterTheDelayThenAtTheInterval) {
    PadDirections pad;
    std::vector<WindowMessage> out;
    pad.SetDpad(kPadLeft, true, 1000, out);
    pad.Tick(1000 + PadDirections::kRepeatDelayMs - 1, out);
    EXPECT_EQ(Records(out), "+left ");
    pad.Tick(1000 + PadDirections::kRepeatDelayMs, out);
    pad.Tick(1000 + PadDirections::kRepeatDelayMs + PadDirections::kRepeatIntervalMs, out);
    pad.SetDpad(kPadLeft, false, 1600, out);
    pad.Tick(5000, out);
    EXPECT_EQ(Records(out), "+left +left(repeat) +left(repeat) -left ");
}

TEST(PadDirectionsTest, DpadAndStickOnTheSameDirectionAreOneHold) {
    PadDirections pad;
    std::vector<WindowMessage> out;
    pad.SetDpad(kPadDown, true, 0, out);
    pad.SetStick(0, 30000, 0, out);
    pad.SetDpad(kPadDown, false, 0, out);
    EXPECT_EQ(Records(out), "+down ");
    pad.ReleaseAll(0, out);
    EXPECT_EQ(Records(out), "+down -down ");
}

}  // namespace
}  // namespace Varn
