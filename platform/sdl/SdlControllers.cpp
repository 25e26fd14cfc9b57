#include "platform/sdl/SdlControllers.h"

namespace Varn {

namespace {
WindowMessage PadMessage(int type, int value) {
    WindowMessage m;
    m.message = type;
    m.wparam = uint32_t(value);
    return m;
}

// SDL's button numbers for the buttons the records know; others are not passed on.
int PadButtonFor(Uint8 sdlButton) {
    static_assert(int(SDL_CONTROLLER_BUTTON_A) == kPadA &&
                  int(SDL_CONTROLLER_BUTTON_START) == kPadStart &&
                  int(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) == kPadRight);
    return sdlButton < kPadButtonCount ? int(sdlButton) : -1;
}
}  // namespace

// Controllers already plugged in are opened here; SDL also announces them as added, which
// then finds them open.
SdlControllers::SdlControllers() {
    for (int i = 0; i < SDL_NumJoysticks(); ++i) Open(i);
}

SdlControllers::~SdlControllers() {
    for (auto& [instance, pad] : open) SDL_GameControllerClose(pad.controller);
}

bool SdlControllers::Open(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return false;
    SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instance < 0 || open.count(instance)) return false;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return false;
    open[instance].controller = controller;
    return true;
}

void SdlControllers::Close(SDL_JoystickID instance, int64_t now, std::vector<WindowMessage>& out) {
    auto found = open.find(instance);
    if (found == open.end()) return;
    SDL_GameControllerClose(found->second.controller);
    // A direction held on the pad that went must not repeat for ever.
    found->second.directions.ReleaseAll(now, out);
    open.erase(found);
    out.push_back(PadMessage(kMsgPadRemoved, OpenCount()));
}

void SdlControllers::Button(SDL_JoystickID instance, int button, bool down, int64_t now,
                            std::vector<WindowMessage>& out) {
    auto found = open.find(instance);
    if (button < 0 || found == open.end()) return;
    if (button >= kPadUp && button <= kPadRight) {
        found->second.directions.SetDpad(button, down, now, out);
        return;
    }
    out.push_back(PadMessage(down ? kMsgPadButtonDown : kMsgPadButtonUp, button));
}

bool SdlControllers::Translate(const SDL_Event& event, int64_t now,
                               std::vector<WindowMessage>& out) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (Open(event.cdevice.which)) out.push_back(PadMessage(kMsgPadAdded, OpenCount()));
            return true;
        case SDL_CONTROLLERDEVICEREMOVED:
            Close(event.cdevice.which, now, out);
            return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            Button(event.cbutton.which, PadButtonFor(event.cbutton.button),
                   event.type == SDL_CONTROLLERBUTTONDOWN, now, out);
            return true;
        case SDL_CONTROLLERAXISMOTION:
            Axis(event.caxis, now, out);
            return true;
        default:
            return false;
    }
}

void SdlControllers::Axis(const SDL_ControllerAxisEvent& axis, int64_t now,
                          std::vector<WindowMessage>& out) {
    auto found = open.find(axis.which);
    if (found == open.end()) return;
    Pad& pad = found->second;
    if (axis.axis == SDL_CONTROLLER_AXIS_LEFTX) pad.stickX = axis.value;
    if (axis.axis == SDL_CONTROLLER_AXIS_LEFTY) pad.stickY = axis.value;
    pad.directions.SetStick(pad.stickX, pad.stickY, now, out);
}

void SdlControllers::Tick(int64_t now, std::vector<WindowMessage>& out) {
    for (auto& [instance, pad] : open) pad.directions.Tick(now, out);
}

}  // namespace Varn
