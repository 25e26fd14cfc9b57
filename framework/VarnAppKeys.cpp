// VarnApp and the keyboard as the player's only input: Tab and Shift+Tab call the focus ring
// over the buttons and move it, Enter presses the framed button and Left and Right move a
// framed slider; and which input the player uses, which the prompts and the ring follow.
#include "framework/VarnApp.h"
#include "widgets/FocusRing.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kTabKey = 9;
constexpr int kEnterKey = 13;
constexpr int kShiftKey = 16;
constexpr int kControlKey = 17;
constexpr int kLeftKey = 37;
constexpr int kRightKey = 39;
}  // namespace

void VarnApp::UseInput(InputDevice device) {
    if (device == inputInUse) return;
    const bool padChanged = device == InputDevice::kPad || inputInUse == InputDevice::kPad;
    inputInUse = device;
    if (device != InputDevice::kKeyboard) ringCalledByKeys = false;
    if (device == InputDevice::kPointer) PointerMoved();
    if (padChanged) PadPromptsChanged();
    FollowPad();
}

bool VarnApp::TakeKey(int keyCode) {
    if (!focusRing || !widgetManager) return false;
    // Control+Tab stays the widgets' own.
    if (keyCode == kTabKey && !widgetManager->IsKeyDown(kControlKey)) {
        const bool shown = focusRing->Shown();
        ringCalledByKeys = true;
        FollowPad();
        // A ring that just appeared shows where Enter would act; it does not move yet.
        if (shown) focusRing->Step(widgetManager->IsKeyDown(kShiftKey) ? -1 : 1);
        return true;
    }
    if (!ringCalledByKeys || !focusRing->Shown()) return false;
    if (keyCode == kEnterKey) return focusRing->Press();
    if (keyCode == kLeftKey || keyCode == kRightKey)
        return focusRing->Nudge(keyCode == kRightKey ? 1 : -1);
    return false;
}

}  // namespace Varn
