// A held pad direction repeats after a delay, then at an interval, until released.
#include "platform/PadDirections.h"

#include <gtest/gtest.h>

namespace Varn {
namespace {

TEST(PadDirectionsTest, HeldDirectionRepeatsAfterTheDelayThenAtTheInterval) {
    PadDirections pad;
    std::vector<WindowMessage> out;
    const int delay = PadDirections::kRepeatDelayMs;
    pad.SetDpad(kPadLeft, true, 0, out);
    for (int at : {delay - 1, delay, delay + PadDirections::kRepeatIntervalMs - 1,
                   delay + PadDirections::kRepeatIntervalMs})
        pad.Tick(at, out);
    pad.SetStick(-30000, 0, 900, out);  // the stick on the same direction: still one hold
    pad.SetDpad(kPadLeft, false, 900, out);
    pad.SetStick(-PadDirections::kReleaseZone, 0, 950, out);
    pad.Tick(5000, out);
    std::string records;
    for (const WindowMessage& m : out)
        records += (m.message == kMsgPadButtonDown ? "+" : "-") + std::to_string(m.lparam) + " ";
    EXPECT_EQ(records, "+0 +1 +1 -0 ");
}

}  // namespace
}  // namespace Varn
