// The anchor for the game's presentation cost: a bare loop that presents one 640x480 picture,
// every row of it, at a fixed interval through the same platform window as the game (so the
// same presentation path and SDL renderer, logged on stderr), and does nothing else.
// Usage: present_anchor INTERVAL-MS SECONDS [fullscreen]
// It runs for SECONDS (0: until its window is closed) and then prints "presentations N".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace {

using namespace Varn;

// A picture with detail in every row, in the layout the game would use for this mode.
FrameView MakePicture(PixelFormat format, std::vector<uint32_t>& store) {
    constexpr int kWidth = 640;
    constexpr int kHeight = 480;
    store.assign(std::size_t(kWidth) * kHeight, 0);
    auto* pixels16 = reinterpret_cast<uint16_t*>(store.data());
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint32_t r = uint32_t(x * 255 / kWidth), g = uint32_t(y * 255 / kHeight);
            uint32_t b = uint32_t((x ^ y) & 0xFF);
            if (format == PixelFormat::kRgb565)
                pixels16[y * kWidth + x] = uint16_t((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
            else
                store[std::size_t(y) * kWidth + x] = r << 16 | g << 8 | b;
        }
    FrameView frame;
    frame.pixels = store.data();
    frame.format = format;
    frame.width = kWidth;
    frame.height = kHeight;
    frame.pitch = kWidth * (format == PixelFormat::kRgb565 ? 2 : 4);
    return frame;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: present_anchor INTERVAL-MS SECONDS [fullscreen]\n");
        return 2;
    }
    const int interval = std::max(1, std::atoi(argv[1]));
    const int seconds = std::atoi(argv[2]);
    const bool fullscreen = argc > 3 && std::strcmp(argv[3], "fullscreen") == 0;
    auto platform = CreateSdlPlatform();
    PlatformWindow& window = platform->GetWindow();
    Clock& clock = platform->GetClock();
    if (!window.Create("Present anchor", 640, 480, fullscreen)) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    window.Show();
    // Full screen always draws 5-6-5, a window the desktop's depth, as the game does.
    bool sixteen = fullscreen || window.DesktopBytesPerPixel() == 2;
    std::vector<uint32_t> store;
    FrameView frame = MakePicture(sixteen ? PixelFormat::kRgb565 : PixelFormat::kXrgb8888, store);
    frame.firstDirtyRow = 0;
    frame.endDirtyRow = frame.height;

    std::vector<WindowMessage> messages;
    const int64_t start = clock.Milliseconds();
    int64_t due = start;
    long presentations = 0;
    bool closed = false;
    while (!closed) {
        messages.clear();
        window.PumpMessages(messages);
        for (const WindowMessage& m : messages) closed |= m.message == kMsgClose;
        int64_t now = clock.Milliseconds();
        if (seconds > 0 && now - start >= int64_t(seconds) * 1000) break;
        if (now >= due) {
            window.Present(frame);
            ++presentations;
            due += interval;
            if (due < now) due = now + interval;  // never catch up a backlog
        }
        clock.Sleep(int(std::max<int64_t>(0, due - clock.Milliseconds())));
    }
    std::printf("presentations %ld\n", presentations);
    return 0;
}
