// The SDL backend's window surface path (dummy video driver): a frame refused by a failed
// surface lock is sent whole with the next presentation.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/Platform.h"
#include "platform/sdl/SdlWindow.h"

namespace Varn {
namespace {

// The one window open (ids count up across the tests of one program).
SDL_Window* OpenWindow() {
    SDL_Window* found = nullptr;
    for (Uint32 id = 1; id < 256; ++id)
        if (SDL_Window* window = SDL_GetWindowFromID(id)) found = window;
    return found;
}

TEST(SdlSurfacePresentTest, RowsRefusedByAFailedLockAreSentWithTheNextFrame) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto platform = CreateSdlPlatform();
    auto* window = dynamic_cast<SdlWindow*>(&platform->GetWindow());
    ASSERT_TRUE(window && window->Create("lock", 640, 480, false));
    std::vector<uint32_t> pixels(640 * 480, 0x0000ff);
    const FrameView frame{pixels.data(), 640 * 4, 640, 480, PixelFormat::kXrgb8888, 0, 480};
    ASSERT_TRUE(window->Present(frame));
    std::fill(pixels.begin(), pixels.end(), 0x00ff00);
    window->lockSurface = [](SDL_Surface*) { return -1; };
    EXPECT_FALSE(window->Present(frame));
    window->lockSurface = [](SDL_Surface*) { return 0; };
    EXPECT_TRUE(window->Present(frame));  // the caller marks every row again, as it does
    SDL_Surface* surface = SDL_GetWindowSurface(OpenWindow());
    ASSERT_NE(surface, nullptr);
    const auto* row =
        static_cast<const uint8_t*>(surface->pixels) + surface->h / 2 * surface->pitch;
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(row)[surface->w / 2] & 0xffffff, 0x00ff00u);
}

}  // namespace
}  // namespace Varn
