// SdlWindow's presentation: the choice of path per mode, the window surface path (changed
// rows copied into the surface and sent as one rectangle) and the renderer path (a streaming
// texture scaled to the output).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/SdlWindow.h"

namespace Varn {

namespace {

Uint32 SdlFormat(PixelFormat format) {
    return format == PixelFormat::kRgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}

// GEMLODE_PRESENTATION=surface or =renderer forces a path (for measuring one against the
// other); anything else leaves the choice by mode.
bool WantWindowSurface(bool fullscreen) {
    const char* forced = std::getenv("GEMLODE_PRESENTATION");
    if (forced && std::strcmp(forced, "surface") == 0) return true;
    if (forced && std::strcmp(forced, "renderer") == 0) return false;
    return !fullscreen;
}

}  // namespace

bool SdlWindow::ChoosePresentation(bool fullscreen) {
    useWindowSurface = false;
    if (WantWindowSurface(fullscreen)) {
        // The X server's own image transfer (shared memory where it can), not a texture of
        // an OpenGL renderer standing behind the surface.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        useWindowSurface = SDL_GetWindowSurface(window) != nullptr;
        if (!useWindowSurface)
            std::fprintf(stderr, "Window surface refused (%s): using a renderer\n", SDL_GetError());
    }
    windowSurface = nullptr;
    if (!useWindowSurface && !CreateRenderer()) return false;
    std::fprintf(stderr, "Presentation: %s\n", PresentationPath().c_str());
    return true;
}

std::string SdlWindow::PresentationPath() const {
    if (useWindowSurface) return "window surface";
    SDL_RendererInfo info{};
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) return "none";
    return std::string("renderer ") + (info.name ? info.name : "?");
}

// A renderer scaling the logical size to the window, by whole multiples where the output is
// at least that large (a smaller screen gets the largest fractional scale that fits).
bool SdlWindow::CreateRenderer() {
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) return false;
    SDL_RenderSetLogicalSize(renderer, logicalWidth, logicalHeight);
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    bool fits = outputWidth >= logicalWidth && outputHeight >= logicalHeight;
    SDL_RenderSetIntegerScale(renderer, fits ? SDL_TRUE : SDL_FALSE);
    return true;
}

bool SdlWindow::EnsureTexture(const FrameView& frame, bool& fresh) {
    fresh = false;
    if (texture && textureFormat == frame.format && textureWidth == frame.width &&
        textureHeight == frame.height)
        return true;
    if (texture) SDL_DestroyTexture(texture);
    texture = SDL_CreateTexture(renderer, SdlFormat(frame.format), SDL_TEXTUREACCESS_STREAMING,
                                frame.width, frame.height);
    textureFormat = frame.format;
    textureWidth = frame.width;
    textureHeight = frame.height;
    fresh = texture != nullptr;
    return texture != nullptr;
}

bool SdlWindow::Present(const FrameView& frame) {
    if (displayLost) {
        // The renderer dropped its textures (or itself): rebuild them, and report the loss
        // so the caller sets the display up again and everything is uploaded anew.
        displayLost = false;
        if (texture) SDL_DestroyTexture(texture);
        texture = nullptr;
        if (rendererLost && renderer) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
            rendererLost = false;
            if (window) CreateRenderer();
        }
        return false;
    }
    if (!window || !frame.pixels) return false;
    return useWindowSurface ? PresentToSurface(frame) : PresentThroughRenderer(frame);
}

bool SdlWindow::PresentToSurface(const FrameView& frame) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return false;
    // A surface fetched anew (first time, after an expose or a resize) holds nothing yet.
    bool fresh = surface != windowSurface;
    windowSurface = surface;
    int width = std::min(frame.width, surface->w);
    int height = std::min(frame.height, surface->h);
    int first = fresh ? 0 : std::max(frame.firstDirtyRow, 0);
    int end = fresh ? height : std::min(frame.endDirtyRow, height);
    if (end <= first) return true;
    const auto* source = static_cast<const uint8_t*>(frame.pixels) + size_t(first) * frame.pitch;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    auto* target = static_cast<uint8_t*>(surface->pixels) + size_t(first) * surface->pitch;
    int status = SDL_ConvertPixels(width, end - first, SdlFormat(frame.format), source, frame.pitch,
                                   surface->format->format, target, surface->pitch);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (status != 0) return false;
    SDL_Rect rows{0, first, width, end - first};
    if (SDL_UpdateWindowSurfaceRects(window, &rows, 1) != 0) windowSurface = nullptr;
    return true;
}

bool SdlWindow::PresentThroughRenderer(const FrameView& frame) {
    bool fresh = false;
    if (!renderer || !EnsureTexture(frame, fresh)) return false;
    // A new texture holds nothing yet: upload every row, not just the changed ones.
    int first = fresh ? 0 : std::max(frame.firstDirtyRow, 0);
    int end = fresh ? frame.height : std::min(frame.endDirtyRow, frame.height);
    if (end > first) {
        SDL_Rect rows{0, first, frame.width, end - first};
        const auto* start = static_cast<const uint8_t*>(frame.pixels) + size_t(first) * frame.pitch;
        SDL_UpdateTexture(texture, &rows, start, frame.pitch);
    }
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    return true;
}

}  // namespace Varn
