// VarnApp and game controllers: the pad's records from the queue, the focus ring that stands
// in for the pointer over buttons (left and right move a framed slider), and B as the
// Escape key of the open dialog.
#include <string>

#include "framework/VarnApp.h"
#include "widgets/FocusRing.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kEscapeKey = 27;
}  // namespace

void VarnApp::ProcessPadMessage(const WindowMessage& message) {
    if (message.message == kMsgPadAdded || message.message == kMsgPadRemoved) {
        Log(std::string("Game controller ") +
            (message.message == kMsgPadAdded ? "connected" : "disconnected") + ", " +
            std::to_string(message.wparam) + " open\n");
        return;
    }
    if (hidden || !widgetManager) return;
    const bool ringWasShown = focusRing->Shown();
    UseInput(InputDevice::kPad);
    FollowPad();
    // A ring that just appeared shows the player where A would act; it does not act yet.
    const int button = int(message.wparam);
    const bool revealOnly = !ringWasShown && focusRing->Shown() && button != kPadB &&
                            button != kPadStart && button != kPadY && button != kPadBack;
    if (!revealOnly) PadButtonDown(button, message.lparam != 0);
}

void VarnApp::FollowPad() {
    if (!focusRing || !widgetManager) return;
    const bool called = PadInUse() || (inputInUse == InputDevice::kKeyboard && ringCalledByKeys);
    if (called && !PadOnPlayArea())
        focusRing->Show(*widgetManager);
    else if (focusRing->manager)
        focusRing->Hide();
}

void VarnApp::PadButtonDown(int button, bool repeat) {
    switch (button) {
        case kPadA:
            if (!repeat) focusRing->Press();
            return;
        case kPadB:
            if (!repeat && !modalDialogs.empty()) QueueKeyPress(kEscapeKey);
            return;
        case kPadLeft:
        case kPadRight:
            if (!focusRing->Nudge(button == kPadRight ? 1 : -1))
                focusRing->Step(button == kPadRight ? 1 : -1);
            return;
        case kPadUp:
        case kPadLeftShoulder:
            focusRing->Step(-1);
            return;
        case kPadDown:
        case kPadRightShoulder:
            focusRing->Step(1);
            return;
        default:
            return;
    }
}

void VarnApp::QueueKeyPress(int keyCode) {
    for (int type : {kMsgKeyDown, kMsgChar, kMsgKeyUp}) {
        WindowMessage m;
        m.message = type;
        m.wparam = uint32_t(keyCode);
        m.lparam = kKeyFromPad;
        messageQueue.push_back(m);
    }
}

}  // namespace Varn
