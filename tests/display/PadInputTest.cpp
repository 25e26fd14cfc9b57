// Game controllers on the SDL backend (dummy video driver) through SDL's virtual joystick:
// hot-plugging, buttons, and the left stick with its dead zone; and the repeat of a held
// direction.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/PadDirections.h"
#include "platform/Platform.h"

namespace Varn {
namespace {

class SdlPadTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        platform = CreateSdlPlatform();
    }
    void TearDown() override {
        if (device >= 0) SDL_JoystickDetachVirtual(device);
        platform.reset();
    }
    void PlugIn() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr);
    }
    std::string Pump() {
        std::vector<WindowMessage> out;
        platform->GetWindow().PumpMessages(out);
        static const char* kKinds[] = {"+", "-", "added", "removed"};
        std::string text;
        for (const WindowMessage& m : out)
            if (m.message >= kMsgPadButtonDown && m.message <= kMsgPadRemoved)
                text += kKinds[m.message - kMsgPadButtonDown] + std::to_string(m.wparam) + " ";
        return text;
    }

    std::unique_ptr<Platform> platform;
    int device = -1;
    SDL_Joystick* joystick = nullptr;
};

TEST_F(SdlPadTest, PadPluggedInWhileRunningIsOpenedAndItsButtonsAndStickArrive) {
    EXPECT_EQ(Pump(), "");
    PlugIn();
    EXPECT_EQ(Pump(), "added1 ");
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(Pump(), "+" + std::to_string(kPadA) + " ");
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_START, 1);
    EXPECT_EQ(Pump(), "-" + std::to_string(kPadA) + " +" + std::to_string(kPadStart) + " ");
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 8000);  // in the dead zone
    EXPECT_EQ(Pump(), "");
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    EXPECT_EQ(Pump(), "+" + std::to_string(kPadLeft) + " ");
}

TEST_F(SdlPadTest, PadPulledOutIsDroppedWithItsHeldDirectionAndCanComeBack) {
    PlugIn();
    Pump();
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    EXPECT_EQ(Pump(), "+" + std::to_string(kPadUp) + " ");
    SDL_JoystickClose(joystick);
    SDL_JoystickDetachVirtual(device);
    device = -1;
    EXPECT_EQ(Pump(), "-" + std::to_string(kPadUp) + " removed0 ");
    PlugIn();
    EXPECT_EQ(Pump(), "added1 ");
}

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

TEST(PadDirectionsTest, StickHeldNearADiagonalKeepsItsDirectionUntilTheOtherAxisClearlyLeads) {
    PadDirections pad;
    std::vector<WindowMessage> out;
    pad.SetStick(20000, -19000, 0, out);    // right
    pad.SetStick(20000, -21000, 100, out);  // a wobble past the diagonal
    pad.SetStick(20000, -19000, 200, out);
    EXPECT_EQ(out.size(), 1u);
    pad.SetStick(12000, -25000, 300, out);  // up, clearly
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].wparam, uint32_t(kPadUp));
}

}  // namespace
}  // namespace Varn
