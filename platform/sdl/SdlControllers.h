// SdlControllers: the game controllers SDL knows, opened when the pump starts and whenever
// one is plugged in, closed when it is pulled out, so hot-plugging needs no restart. Their
// button and left-stick events become pad records (see PadDirections for the directions);
// each controller keeps its own stick and directions, so one pad neither moves nor releases
// what another holds.
// Needs SDL_INIT_GAMECONTROLLER; every call on the main thread.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <vector>

#include "platform/PadDirections.h"
#include "platform/Platform.h"

namespace Varn {

class SdlControllers {
public:
    SdlControllers();
    ~SdlControllers();
    SdlControllers(const SdlControllers&) = delete;
    SdlControllers& operator=(const SdlControllers&) = delete;

    // True when the event was a controller's (and out got its records, if any).
    bool Translate(const SDL_Event& event, int64_t now, std::vector<WindowMessage>& out);
    // Repeats of held directions.
    void Tick(int64_t now, std::vector<WindowMessage>& out);
    int OpenCount() const { return int(open.size()); }

private:
    bool Open(int deviceIndex);
    void Close(SDL_JoystickID instance, int64_t now, std::vector<WindowMessage>& out);
    void Button(SDL_JoystickID instance, int button, bool down, int64_t now,
                std::vector<WindowMessage>& out);
    void Axis(const SDL_ControllerAxisEvent& axis, int64_t now, std::vector<WindowMessage>& out);

    struct Pad {
        SDL_GameController* controller = nullptr;
        int stickX = 0;
        int stickY = 0;
        PadDirections directions;
    };
    std::map<SDL_JoystickID, Pad> open;
};

}  // namespace Varn
