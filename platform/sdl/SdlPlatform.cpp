// The SDL2 backend: steady clock, main window, message boxes, browser start (SdlUrlOpener),
// clipboard, the log on stderr.
#include <SDL.h>
#include <signal.h>
#include <unistd.h>

#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "platform/GameFolders.h"
#include "platform/Latin1.h"
#include "platform/Platform.h"
#include "platform/sdl/SdlAudioDevice.h"
#include "platform/sdl/SdlUrlOpener.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/SdlX11StartConnection.h"

namespace Varn {

namespace {

// SDL turns SIGINT and SIGTERM into a quit message, which saves the game in
// progress; a hang-up (the terminal closed) would otherwise end the process
// on the spot. It is passed on as SIGTERM, to whatever handles that.
void HangUpAsTerminate(int) {
    raise(SIGTERM);
}

void QuitOnHangUp() {
    struct sigaction current {};
    if (sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
    struct sigaction hangUp {};
    hangUp.sa_handler = HangUpAsTerminate;
    sigemptyset(&hangUp.sa_mask);
    sigaction(SIGHUP, &hangUp, nullptr);
}

class SteadyClock : public Clock {
public:
    int64_t Milliseconds() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    // The kernel's start time of the process (clock ticks since boot), moved onto the steady
    // clock through the boot-time clock read beside it: precise to one clock tick.
    int64_t ProcessStartMilliseconds() override {
        std::ifstream stat("/proc/self/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        size_t afterName = text.rfind(')');
        if (afterName == std::string::npos) return -1;
        std::istringstream fields(text.substr(afterName + 2));
        std::string field;
        // Field 22 of the file; the text after the name starts at field 3.
        for (int i = 3; i < 22 && fields >> field; ++i) {
        }
        long long startTicks = 0;
        if (!(fields >> startTicks)) return -1;
        timespec boot{};
        if (clock_gettime(CLOCK_BOOTTIME, &boot) != 0) return -1;
        int64_t bootMs = int64_t(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000;
        int64_t startMs = startTicks * 1000 / sysconf(_SC_CLK_TCK);
        return Milliseconds() - (bootMs - startMs);
    }
    void Sleep(int milliseconds) override {
        if (milliseconds <= 0)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

class SdlDesktop : public Desktop {
public:
    bool ShowMessageBox(const std::string& caption, const std::string& text, bool error) override {
        Uint32 flags = error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        if (SDL_ShowSimpleMessageBox(flags, Latin1ToUtf8(caption).c_str(),
                                     Latin1ToUtf8(text).c_str(), nullptr) == 0)
            return true;
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return false;
    }

    bool OpenUrl(const std::string& url) override { return opener.Open(url); }

    bool UrlOpenerFailed() override { return opener.LatestFailed(); }

    void SetClipboardText(const std::string& text) override {
        SDL_SetClipboardText(Latin1ToUtf8(text).c_str());
    }

    std::string GetClipboardText() override {
        char* text = SDL_GetClipboardText();
        if (!text) return std::string();
        std::string result = Utf8ToLatin1(text);
        SDL_free(text);
        return result;
    }

    void Log(const std::string& line) override {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }

    std::string ProgramPath() override {
        char buffer[4096];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
        if (length <= 0) return std::string();
        return std::string(buffer, size_t(length));
    }

    std::string ConfigRoot() override { return UserConfigRoot().string(); }

    DriverNames Drivers() override {
        DriverNames names;
        if (const char* video = SDL_GetCurrentVideoDriver()) names.video = video;
        if (const char* audio = SDL_GetCurrentAudioDriver()) names.audio = audio;
        SDL_version version;
        SDL_GetVersion(&version);
        names.library = "SDL " + std::to_string(version.major) + "." +
                        std::to_string(version.minor) + "." + std::to_string(version.patch);
        return names;
    }

    bool DisplayUsable() override {
        if (!SDL_GetCurrentVideoDriver()) return false;
        const char* asked = std::getenv("SDL_VIDEODRIVER");
        return (asked && *asked) || Drivers().HasScreen();
    }

private:
    UrlOpener opener;
};

class SdlPlatform : public Platform {
public:
    SdlPlatform() {
        // The close box is the game's to answer (it saves first, and may ask); SDL would
        // follow it with a quit message that nobody asks about.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        InitVideo();
        // Without controller support the game is still played with the mouse.
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
            std::fprintf(stderr, "No game controller support: %s\n", SDL_GetError());
        QuitOnHangUp();
        window = std::make_unique<SdlWindow>();
    }
    // SDL's connections to an X server are not refused while this one is held.
    static void InitVideo() {
        X11StartConnection held;
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
            std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
    }
    ~SdlPlatform() override {
        window.reset();
        SDL_Quit();
    }

    Clock& GetClock() override { return clock; }
    PlatformWindow& GetWindow() override { return *window; }
    Desktop& GetDesktop() override { return desktop; }
    std::unique_ptr<AudioDevice> CreateAudioDevice() override {
        return std::make_unique<SdlAudioDevice>();
    }

private:
    SteadyClock clock;
    SdlDesktop desktop;
    std::unique_ptr<SdlWindow> window;
};

}  // namespace

std::unique_ptr<Platform> CreateSdlPlatform() {
    return std::make_unique<SdlPlatform>();
}

}  // namespace Varn
