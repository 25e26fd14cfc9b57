#include "platform/PadDirections.h"

#include <cstdlib>

namespace Varn {

namespace {
uint32_t Bit(int button) {
    return 1u << (button - kPadUp);
}

WindowMessage PadMessage(int type, int button, bool repeat) {
    WindowMessage m;
    m.message = type;
    m.wparam = uint32_t(button);
    m.lparam = repeat ? 1 : 0;
    return m;
}
}  // namespace

void PadDirections::SetDpad(int button, bool down, int64_t now, std::vector<WindowMessage>& out) {
    if (button < kPadUp || button > kPadRight) return;
    if (down)
        dpadHeld |= Bit(button);
    else
        dpadHeld &= ~Bit(button);
    Apply(now, out);
}

// The stronger axis decides; a direction already held stays until its axis falls below the
// release zone, so a stick resting near the dead zone does not flicker, and until the other
// axis leads it by half again, so a thumb resting near a diagonal does not flip between two
// directions (each flip a fresh press, a move at once).
int PadDirections::StickDirection(int x, int y) const {
    if (stickHeld >= 0) {
        const bool heldHorizontal = stickHeld == kPadLeft || stickHeld == kPadRight;
        const int along = heldHorizontal ? x : y;
        const int across = heldHorizontal ? y : x;
        const bool sameWay = stickHeld == kPadLeft || stickHeld == kPadUp ? along < 0 : along > 0;
        if (sameWay && std::abs(along) > kReleaseZone &&
            2 * std::abs(across) <= 3 * std::abs(along))
            return stickHeld;
    }
    const bool horizontal = std::abs(x) >= std::abs(y);
    const int value = horizontal ? x : y;
    const int direction = horizontal ? (x < 0 ? kPadLeft : kPadRight) : (y < 0 ? kPadUp : kPadDown);
    const int threshold = direction == stickHeld ? kReleaseZone : kDeadZone;
    return std::abs(value) > threshold ? direction : -1;
}

void PadDirections::SetStick(int x, int y, int64_t now, std::vector<WindowMessage>& out) {
    stickHeld = StickDirection(x, y);
    Apply(now, out);
}

void PadDirections::Apply(int64_t now, std::vector<WindowMessage>& out) {
    const uint32_t wanted = dpadHeld | (stickHeld >= 0 ? Bit(stickHeld) : 0);
    for (int button = kPadUp; button <= kPadRight; ++button) {
        const bool was = held & Bit(button);
        const bool is = wanted & Bit(button);
        if (was == is) continue;
        out.push_back(PadMessage(is ? kMsgPadButtonDown : kMsgPadButtonUp, button, false));
        if (is) {
            repeating = button;
            nextRepeat = now + kRepeatDelayMs;
        } else if (repeating == button) {
            repeating = -1;
        }
    }
    held = wanted;
}

void PadDirections::Tick(int64_t now, std::vector<WindowMessage>& out) {
    if (repeating < 0 || now < nextRepeat) return;
    out.push_back(PadMessage(kMsgPadButtonDown, repeating, true));
    nextRepeat = now + kRepeatIntervalMs;
}

void PadDirections::ReleaseAll(int64_t now, std::vector<WindowMessage>& out) {
    dpadHeld = 0;
    stickHeld = -1;
    Apply(now, out);
}

}  // namespace Varn
