// PadDirections: the four directions of a game controller, from its d-pad and its left
// stick together, as pad button records: a press when a direction starts to be held, a
// release when it ends, and repeated presses while it stays held (after kRepeatDelayMs,
// then every kRepeatIntervalMs), as a held key repeats. The stick counts only past a dead
// zone, and only along its stronger axis, so a slightly diagonal push moves one way.
// Plain logic on given times, shared by the backends.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace Varn {

class PadDirections {
public:
    static constexpr int kDeadZone = 16000;     // of 32767: the stick must pass this...
    static constexpr int kReleaseZone = 10000;  // ...and falls back below this
    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 120;

    // A d-pad button (kPadUp .. kPadRight) went down or up.
    void SetDpad(int button, bool down, int64_t now, std::vector<WindowMessage>& out);
    // The left stick's axes, -32768 .. 32767, positive right and down.
    void SetStick(int x, int y, int64_t now, std::vector<WindowMessage>& out);
    // Emits the repeats due by now.
    void Tick(int64_t now, std::vector<WindowMessage>& out);
    // Every held direction ends (a controller went away).
    void ReleaseAll(int64_t now, std::vector<WindowMessage>& out);

private:
    int StickDirection(int x, int y) const;
    void Apply(int64_t now, std::vector<WindowMessage>& out);

    uint32_t dpadHeld = 0;  // bit (button - kPadUp)
    int stickHeld = -1;     // a direction button, or -1
    uint32_t held = 0;      // what the records last said
    int repeating = -1;     // the latest direction pressed, while held
    int64_t nextRepeat = 0;
};

}  // namespace Varn
