// Keeps an X server from refusing SDL's connections while SDL starts.
#pragma once

struct _XDisplay;

namespace Varn {

// An X server resets when its last client goes, and drops every connection that arrives
// while it resets; SDL's x11 driver gives up at the first such refusal and the start would
// report no display. This opens one connection to $DISPLAY first, retrying a refusal a few
// times (about 3 s in all), and holds it while it lives: a server with a client does not
// reset, so the connections SDL opens meanwhile are served. Nothing is tried when SDL would
// not pick X11, and no retry is made when nothing listens on a local display's socket, so
// a display that does not exist still fails at once.
class X11StartConnection {
public:
    X11StartConnection();
    ~X11StartConnection();
    X11StartConnection(const X11StartConnection&) = delete;
    X11StartConnection& operator=(const X11StartConnection&) = delete;

private:
    _XDisplay* display = nullptr;
};

}  // namespace Varn
