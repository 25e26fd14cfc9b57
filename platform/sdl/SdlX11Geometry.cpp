#include "platform/sdl/SdlX11Geometry.h"

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/extensions/XShm.h>
#endif

namespace Varn {

bool AlignX11Geometry(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    Window xWindow = info.info.x11.window;
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
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    Window child = 0;
    return XTranslateCoordinates(display, info.info.x11.window, DefaultRootWindow(display), 0, 0,
                                 &x, &y, &child) != 0;
#else
    (void)window;
    (void)x;
    (void)y;
    return false;
#endif
}

bool X11SharedMemorySurfaces(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    return XShmQueryExtension(info.info.x11.display);
#else
    (void)window;
    return false;
#endif
}

}  // namespace Varn
