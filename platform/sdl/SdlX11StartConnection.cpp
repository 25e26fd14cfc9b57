#include "platform/sdl/SdlX11StartConnection.h"

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <thread>

namespace Varn {

namespace {

constexpr int kAttempts = 16;  // about 3 s in all: a loaded server may take that long to reset
constexpr int kLongestWaitMs = 250;

// SDL tries X11 first whenever $DISPLAY is set, unless another driver is asked for.
bool SdlWouldPickX11() {
    const char* display = std::getenv("DISPLAY");
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return display && *display && (!asked || !*asked || std::strcmp(asked, "x11") == 0);
}

// Connects to a Unix socket, `abstract` in the abstract namespace (as Linux servers offer
// beside the file); closed at once, before any X set-up, so the server counts no client.
bool SocketListens(const std::string& path, bool abstract) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() + 1 >= sizeof(address.sun_path)) return false;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
    socklen_t length =
        socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool listens = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    close(fd);
    return listens;
}

// Whether a server listens on the socket of a local display name (":N", ":N.S", "unix:N");
// true for other forms (a host, a path), which cannot be told apart from here.
bool X11DisplayMayExist(const std::string& name) {
    static const std::regex local(R"((unix)?:(\d+)(\.\d+)?)");
    std::smatch match;
    if (!std::regex_match(name, match, local)) return true;
    const std::string path = "/tmp/.X11-unix/X" + match[2].str();
    return SocketListens(path, true) || SocketListens(path, false);
}

}  // namespace

X11StartConnection::X11StartConnection() {
    if (!SdlWouldPickX11()) return;
    XInitThreads();
    const std::string name = std::getenv("DISPLAY");
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (display || !X11DisplayMayExist(name)) return;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min(10 << attempt, kLongestWaitMs)));
    }
}

X11StartConnection::~X11StartConnection() {
    if (display) XCloseDisplay(display);
}

}  // namespace Varn
