#include "platform/sdl/SdlPadScript.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace Varn {

namespace {
SDL_Joystick* VirtualPad(int deviceIndex) {
    return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(deviceIndex));
}
}  // namespace

SdlPadScript* SdlPadScript::FromEnvironment() {
    const char* path = std::getenv(kVariable);
    if (!path || !*path) return nullptr;
    int fifo = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fifo < 0) {
        std::fprintf(stderr, "%s: cannot open %s\n", kVariable, path);
        return nullptr;
    }
    // The test's window may not hold the focus; its controller must be heard all the same.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Gemlode test pad";
    int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    // The device must be open for its state to be set.
    if (deviceIndex < 0 || !SDL_JoystickOpen(deviceIndex)) {
        std::fprintf(stderr, "%s: no virtual controller: %s\n", kVariable, SDL_GetError());
        close(fifo);
        return nullptr;
    }
    return new SdlPadScript(fifo, deviceIndex);
}

SdlPadScript::SdlPadScript(int fifoDescriptor, int index)
    : fifo(fifoDescriptor), deviceIndex(index) {}

SdlPadScript::~SdlPadScript() {
    close(fifo);
}

void SdlPadScript::Feed() {
    for (const std::string& name : tapped) SetButton(name, false);
    tapped.clear();
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(fifo, buffer, sizeof buffer)) > 0) partialLine.append(buffer, size_t(got));
    size_t end = 0;
    while ((end = partialLine.find('\n')) != std::string::npos) {
        PlayLine(partialLine.substr(0, end));
        partialLine.erase(0, end + 1);
    }
}

bool SdlPadScript::SetButton(const std::string& name, bool down) {
    SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
    if (button == SDL_CONTROLLER_BUTTON_INVALID) return false;
    return SDL_JoystickSetVirtualButton(VirtualPad(deviceIndex), button, down) == 0;
}

void SdlPadScript::PlayLine(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    std::string name;
    words >> verb >> name;
    bool played = false;
    if (verb == "down" || verb == "up") {
        played = SetButton(name, verb == "down");
    } else if (verb == "tap") {
        played = SetButton(name, true);
        if (played) tapped.push_back(name);
    } else if (verb == "axis") {
        int value = 0;
        SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
        played = words >> value && axis != SDL_CONTROLLER_AXIS_INVALID && value >= -32768 &&
                 value <= 32767 &&
                 SDL_JoystickSetVirtualAxis(VirtualPad(deviceIndex), axis, Sint16(value)) == 0;
    }
    if (!played && !line.empty())
        std::fprintf(stderr, "%s: skipped \"%s\"\n", kVariable, line.c_str());
}

}  // namespace Varn
