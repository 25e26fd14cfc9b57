// xreconnect: opens and closes connections to the X server of $DISPLAY in a tight loop
// until killed, as a burst of short-lived clients does. On a server that resets when its
// last client goes, each close starts a reset that drops connections arriving meanwhile.
#include <X11/Xlib.h>

int main() {
    for (;;) {
        if (Display* display = XOpenDisplay(nullptr)) XCloseDisplay(display);
    }
}
