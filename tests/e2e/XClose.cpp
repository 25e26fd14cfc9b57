// xclose: asks a top-level window, found by the start of its title, to close
// itself, as the window manager's close button does (WM_DELETE_WINDOW).
// Usage: xclose TITLE-PREFIX. Exit code 0 when the request was sent.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

Window FindWindow(Display* display, Window root, const std::string& prefix) {
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strncmp(name, prefix.c_str(), prefix.size()) == 0) found = children[i];
            XFree(name);
        }
        if (!found) found = FindWindow(display, children[i], prefix);
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: xclose TITLE-PREFIX\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 3;
    Window window = FindWindow(display, DefaultRootWindow(display), argv[1]);
    if (!window) {
        XCloseDisplay(display);
        return 4;
    }
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
