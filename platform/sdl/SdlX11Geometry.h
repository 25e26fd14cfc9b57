// Keeps the X window of a full-screen SDL window where SDL believes it is.
#pragma once

#include <SDL.h>

namespace Varn {

// Without a window manager nobody carries out a full-screen request: the X
// window keeps the size and place it was created with while SDL believes it
// covers the screen, so the picture lands shifted and cut off and the pointer
// mapping misses by the difference. This asks the X server for the geometry SDL
// believes. A window manager that grants something else answers with a
// configure event, which SDL follows for drawing and pointer mapping alike.
// Does nothing for windows on other video drivers. True when it asked.
bool AlignX11Geometry(SDL_Window* window);

// Where the X server has the window's client area, in root coordinates: SDL's own idea of
// it lags behind configure events. False on other drivers (the caller asks SDL then).
bool X11WindowPosition(SDL_Window* window, int& x, int& y);

// Whether SDL's window surfaces for this window come from X shared memory, which starts out
// zeroed (black): then the bars around a full-screen picture need not be painted, and the
// process keeps those pages untouched instead of resident. False on other drivers.
bool X11SharedMemorySurfaces(SDL_Window* window);

}  // namespace Varn
