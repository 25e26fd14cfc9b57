// SdlWindow's presentation: the choice of path, the window surface path (changed rows
// scaled into the surface and sent as one rectangle) and the renderer fallback (a
// streaming texture scaled to the output).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FillScale.h"
#include "platform/RowScale.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/SdlX11Geometry.h"

namespace Varn {

namespace {

Uint32 SdlFormat(PixelFormat format) {
    return format == PixelFormat::kRgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
}

// GEMLODE_PRESENTATION=renderer forces the renderer (for measuring one path against the
// other); anything else leaves the window surface first.
bool RendererForced() {
    const char* forced = std::getenv("GEMLODE_PRESENTATION");
    return forced && std::strcmp(forced, "renderer") == 0;
}

// The window surface's pixels must be 2 or 4 bytes wide for the row scaling.
bool ScalableSurface(SDL_Surface* surface) {
    return surface && (surface->format->BytesPerPixel == 2 || surface->format->BytesPerPixel == 4);
}

}  // namespace

bool SdlWindow::ChoosePresentation() {
    useWindowSurface = false;
    windowSurface = nullptr;
    const char* why = "forced by GEMLODE_PRESENTATION";
    SDL_Surface* surface = nullptr;
    if (!RendererForced()) {
        // The window system's own image transfer (shared memory where it can), not a texture
        // of an OpenGL renderer standing behind the surface.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        surface = SDL_GetWindowSurface(window);
        useWindowSurface = ScalableSurface(surface);
        surfacesStartBlack = X11SharedMemorySurfaces(window);
        why = surface ? "the window surface has an unusual pixel size" : SDL_GetError();
        if (!*why) why = "the video driver has none";
    }
    if (!useWindowSurface) {
        std::fprintf(stderr, "No window surface (%s): using a renderer\n", why);
        if (!CreateRenderer()) return false;
    }
    if (surface) surfaceBytes = surface->format->BytesPerPixel;
    PlaceInWindow();
    std::fprintf(stderr, "Presentation: %s, %s%s\n", PresentationPath().c_str(),
                 PlacementText().c_str(), surfacesStartBlack ? ", shared memory" : "");
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
    SetRendererScaling();
    return true;
}

void SdlWindow::SetRendererScaling() {
    if (!renderer) return;
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight);
    bool fits = outputWidth >= logicalWidth && outputHeight >= logicalHeight;
    SDL_RenderSetIntegerScale(renderer, fits ? SDL_TRUE : SDL_FALSE);
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
    if (!ScalableSurface(surface)) return false;
    // A surface fetched anew (first time, after an expose or a resize) holds nothing yet:
    // black bars around, then every row.
    bool fresh = surface != windowSurface;
    windowSurface = surface;
    if (fresh) {
        surfaceBytes = surface->format->BytesPerPixel;
        PlaceIn(surface->w, surface->h);
        if (!surfacesStartBlack) SDL_FillRect(surface, nullptr, 0);
    }
    PictureRect changed = frameChanges.Update(frame, frame.firstDirtyRow, frame.endDirtyRow, fresh);
    if (changed.Empty() && !fresh) return true;
    // The kept frame already counts these rows as shown: a fresh surface sends them all.
    if (lockSurface(surface) != 0) {
        windowSurface = nullptr;
        return false;
    }
    SDL_Rect sent{};
    if (!changed.Empty())
        sent = placement.fill ? FillSurface(surface, frame, changed)
                              : ScaleToSurface(surface, frame, changed);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    if (fresh) sent = SDL_Rect{0, 0, surface->w, surface->h};
    if (sent.w <= 0 || sent.h <= 0) return true;
    if (SDL_UpdateWindowSurfaceRects(window, &sent, 1) != 0) windowSurface = nullptr;
    return true;
}

const uint8_t* SdlWindow::SurfaceRow(SDL_Surface* surface, const FrameView& frame, int y, int x,
                                     int width) {
    int frameBytes = frame.format == PixelFormat::kRgb565 ? 2 : 4;
    const auto* source = static_cast<const uint8_t*>(frame.pixels) + size_t(y) * frame.pitch +
                         size_t(x) * frameBytes;
    if (SdlFormat(frame.format) == surface->format->format) return source;
    int bytes = surface->format->BytesPerPixel;
    converted.resize(size_t(frame.width) * bytes);
    SDL_ConvertPixels(width, 1, SdlFormat(frame.format), source, frame.pitch,
                      surface->format->format, converted.data(), width * bytes);
    return converted.data();
}

// Whole multiples: the rectangle of the frame, row by row: converted to the surface's
// format where that differs (one row at a time, so full screen holds no second picture),
// scaled across into the first of its copies, which the others then copy. Returns the
// part of the surface written.
SDL_Rect SdlWindow::ScaleToSurface(SDL_Surface* surface, const FrameView& frame, PictureRect area) {
    // From a 16-pixel boundary each scaled row starts on a 64-byte line of the surface (its
    // rows and bars are whole lines at the usual sizes), where the row kernels run fastest.
    area.width += area.x % 16;
    area.x -= area.x % 16;
    // Whatever would reach past the surface (a window smaller than asked for) is left out.
    int scale = placement.scale;
    area.width = std::min(area.width, (surface->w - placement.left) / scale - area.x);
    area.height = std::min(area.height, (surface->h - placement.top) / scale - area.y);
    if (area.Empty()) return SDL_Rect{};
    int bytes = surface->format->BytesPerPixel;
    auto* target =
        static_cast<uint8_t*>(surface->pixels) + size_t(placement.left + area.x * scale) * bytes;
    size_t rowBytes = size_t(area.width) * scale * bytes;
    for (int y = area.y; y < area.y + area.height; ++y) {
        const uint8_t* source = SurfaceRow(surface, frame, y, area.x, area.width);
        auto* row = target + size_t(placement.top + y * scale) * surface->pitch;
        if (bytes == 4)
            ScaleRow32(reinterpret_cast<uint32_t*>(row), reinterpret_cast<const uint32_t*>(source),
                       area.width, scale);
        else
            ScaleRow16(reinterpret_cast<uint16_t*>(row), reinterpret_cast<const uint16_t*>(source),
                       area.width, scale);
        for (int copy = 1; copy < scale; ++copy)
            std::memcpy(row + size_t(copy) * surface->pitch, row, rowBytes);
    }
    return SDL_Rect{placement.left + area.x * scale, placement.top + area.y * scale,
                    area.width * scale, area.height * scale};
}

// The fill (32-bit surfaces only): every output pixel that shows anything of the changed
// rectangle.
SDL_Rect SdlWindow::FillSurface(SDL_Surface* surface, const FrameView& frame,
                                const PictureRect& area) {
    // The kernels write whole groups of the shown rows: the shown picture must fit.
    if (surface->format->BytesPerPixel != 4 || frame.width != placement.pictureWidth ||
        frame.height != placement.pictureHeight ||
        placement.left + placement.shownWidth > surface->w ||
        placement.top + placement.shownHeight > surface->h)
        return SDL_Rect{};
    OutputRange columns = fill.ColumnsOf(area.x, area.x + area.width);
    OutputRange rows = fill.RowsOf(area.y, area.y + area.height);
    columns.to = std::min(columns.to, surface->w - placement.left);
    rows.to = std::min(rows.to, surface->h - placement.top);
    if (columns.to <= columns.from || rows.to <= rows.from) return SDL_Rect{};
    auto* shown = static_cast<uint8_t*>(surface->pixels) + size_t(placement.top) * surface->pitch +
                  size_t(placement.left) * 4;
    fill.Paint(shown, size_t(surface->pitch), columns, rows, [&](int y) {
        return reinterpret_cast<const uint32_t*>(SurfaceRow(surface, frame, y, 0, frame.width));
    });
    return SDL_Rect{placement.left + columns.from, placement.top + rows.from,
                    columns.to - columns.from, rows.to - rows.from};
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
