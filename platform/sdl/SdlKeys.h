// Maps SDL key symbols to the widget-level key codes (8 Backspace, 9 Tab,
// 13 Enter, 16 Shift, 17 Control, 35 End, 36 Home, 37-40 arrows, 46 Delete,
// 48-57 digits, 65-90 letters, ...). 0 for keys the game does not know.
#pragma once

#include <SDL.h>

namespace Varn {

int SdlKeyToKeyCode(SDL_Keycode key);

}  // namespace Varn
