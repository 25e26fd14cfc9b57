#include "platform/sdl/SdlX11Geometry.h"

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/extensions/XShm.h>
#endif

namespace Varn {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {
// The window's X display and id; false where it is not an X11 window.
bool X11Handles(SDL_Window* window, Display*& display, Window& xWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xWindow = info.info.x11.window;
    return true;
}
}  // namespace
#endif

bool AlignX11Geometry(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xWindow = 0;
    if (!X11Handles(window, display, xWindow)) return false;
    XWindowAttributes actual;
    if (!XGetWindowAttributes(display, xWindow, &actual)) return false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &width, &height);
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    XTranslateCoordinates(display, xWindow, actual.root, 0, 0, &rootX, &rootY, &child);
    if (actual.width == width && actual.height == height && rootX == x && rootY == y) return false;
    XMoveResizeWindow(display, xWindow, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XFlush(display);
    return true;
#else
    (void)window;
    return false;
#endif
}

bool X11WindowPosition(SDL_Window* window, int& x, int& y) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xWindow = 0;
    if (!X11Handles(window, display, xWindow)) return false;
    Window child = 0;
    return XTranslateCoordinates(display, xWindow, DefaultRootWindow(display), 0, 0, &x, &y,
                                 &child) != 0;
#else
    (void)window;
    (void)x;
    (void)y;
    return false;
#endif
}

bool X11SharedMemorySurfaces(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    Display* display = nullptr;
    Window xWindow = 0;
    return X11Handles(window, display, xWindow) && XShmQueryExtension(display);
#else
    (void)window;
    return false;
#endif
}

}  // namespace Varn
