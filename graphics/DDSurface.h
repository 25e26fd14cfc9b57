// DDSurface: a lockable block of memory in the display's pixel format, standing in for a
// DirectDraw surface. It has a size, a pitch (bytes per row, a multiple of 16), a pixel
// layout (16-bit 5-6-5 or 32-bit x8r8g8b8, described by bit count and channel masks), an
// optional source colour key, and the range of rows written since the last presentation.
// Lock hands out the pixel pointer and pitch; every writer names the rows it may change so
// the presentation uploads only those. The rectangle copy clips to both surfaces.
// Limits: no hardware, no clipper; one thread at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/Rect.h"

namespace Varn {

struct PixelLayout {
    int bitCount = 32;
    uint32_t redMask = 0x00FF0000u;
    uint32_t greenMask = 0x0000FF00u;
    uint32_t blueMask = 0x000000FFu;

    static constexpr PixelLayout Rgb565() { return {16, 0xF800u, 0x07E0u, 0x001Fu}; }
    static constexpr PixelLayout Xrgb8888() { return {32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu}; }
    int BytesPerPixel() const { return bitCount / 8; }
    friend constexpr bool operator==(const PixelLayout&, const PixelLayout&) = default;
};

// Result codes of surface operations: 0 is success.
enum SurfaceResult : int { SURFACE_OK = 0, SURFACE_LOCK_FAILED = 1, SURFACE_INVALID = 2 };

struct LockedSurface {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    PixelLayout layout;
};

class DDSurface {
public:
    // Null if the size is not positive, too large, or the depth is neither 16 nor 32.
    static std::unique_ptr<DDSurface> Create(int width, int height, const PixelLayout& layout);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetPitch() const { return pitch; }
    const PixelLayout& GetLayout() const { return layout; }

    // Locks for writing rows [firstRow, endRow) (clamped); those rows count as changed.
    int Lock(LockedSurface& out, int firstRow, int endRow);
    // Locks for writing anywhere: the whole surface counts as changed.
    int Lock(LockedSurface& out) { return Lock(out, 0, height); }
    // Locks for reading only; nothing counts as changed.
    int LockForRead(LockedSurface& out);
    int Unlock();
    bool IsLocked() const { return lockCount > 0; }

    void SetColorKey(uint32_t key);
    void ClearColorKey() { hasColorKey = false; }
    bool HasColorKey() const { return hasColorKey; }
    uint32_t GetColorKey() const { return colorKey; }

    // Copies source's sourceRect to (x, y), skipping source pixels equal to the source's
    // colour key when useKey is set and the source has one. Both must share the layout.
    int Blt(int x, int y, DDSurface& source, const Rect& sourceRect, bool useKey);

    // Rows changed since the last TakeDirtyRows; resets the range.
    void TakeDirtyRows(int& first, int& end);
    void MarkAllDirty() { MarkDirty(0, height); }
    const uint8_t* Pixels() const { return memory.get(); }

    // Tests: make every following lock fail, as a lost surface would.
    void SetLockFailure(bool fail) { failLocks = fail; }

private:
    DDSurface(int w, int h, int rowBytes, const PixelLayout& pixelLayout);
    void MarkDirty(int first, int end);

    int width;
    int height;
    int pitch;
    PixelLayout layout;
    std::unique_ptr<uint8_t[]> memory;
    bool hasColorKey = false;
    uint32_t colorKey = 0;
    int dirtyFirst = 0;
    int dirtyEnd = 0;
    int lockCount = 0;
    bool failLocks = false;
};

}  // namespace Varn
