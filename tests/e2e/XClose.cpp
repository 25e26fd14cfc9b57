// xclose: asks one top-level window, given by its id (as xdotool prints it), to
// close itself, as the window manager's close button does (WM_DELETE_WINDOW).
// Usage: xclose WINDOW-ID. Exit code 0 when the request was sent.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xclose WINDOW-ID\n");
        return 2;
    }
    char* end = nullptr;
    Window window = std::strtoul(argv[1], &end, 0);
    if (!window || *end) return 2;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 3;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}
