// DDSurface: allocation, locking, dirty rows and the colour-keyed rectangle copy.
#include "graphics/DDSurface.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/drawers/SurfaceSpans.h"

namespace Varn {

namespace {
constexpr int kMaxSide = 16384;

// The pixels of a row that are not the key, a vector at a time: each lane takes the source
// or keeps the destination by a comparison with the key; returns the pixels done.
template <typename Pixel>
int CopyKeyedVector(Pixel* d, const Pixel* s, int width, Pixel key) {
    int k = 0;
#if defined(__SSE2__)
    constexpr int kStep = 16 / int(sizeof(Pixel));
    const __m128i keys = sizeof(Pixel) == 2 ? _mm_set1_epi16(short(key)) : _mm_set1_epi32(int(key));
    for (; k + kStep <= width; k += kStep) {
        __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
        __m128i hole = sizeof(Pixel) == 2 ? _mm_cmpeq_epi16(sv, keys) : _mm_cmpeq_epi32(sv, keys);
        if (_mm_movemask_epi8(hole) == 0xFFFF) continue;
        __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
        __m128i out = _mm_or_si128(_mm_and_si128(hole, dv), _mm_andnot_si128(hole, sv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), out);
    }
#endif
    return k;
}

template <typename Pixel>
void CopyKeyedRows(uint8_t* dest, int destPitch, const uint8_t* source, int sourcePitch, int width,
                   int height, uint32_t key) {
    const Pixel k = Pixel(key);
    bool vector = SurfaceDraw::detail::VectorCodeOn();
    for (int y = 0; y < height; ++y) {
        auto* d = reinterpret_cast<Pixel*>(dest + std::size_t(y) * destPitch);
        const auto* s = reinterpret_cast<const Pixel*>(source + std::size_t(y) * sourcePitch);
        for (int i = vector ? CopyKeyedVector(d, s, width, k) : 0; i < width; ++i)
            if (s[i] != k) d[i] = s[i];
    }
}
}  // namespace

DDSurface::DDSurface(int w, int h, int rowBytes, const PixelLayout& pixelLayout)
    : width(w), height(h), pitch(rowBytes), layout(pixelLayout) {}

std::unique_ptr<DDSurface> DDSurface::Create(int w, int h, const PixelLayout& layout) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
    if (layout.bitCount != 16 && layout.bitCount != 32) return nullptr;
    int rowBytes = (w * layout.BytesPerPixel() + 15) & ~15;
    std::unique_ptr<DDSurface> surface(new DDSurface(w, h, rowBytes, layout));
    surface->memory.reset(new (std::nothrow) uint8_t[std::size_t(rowBytes) * h]());
    if (!surface->memory) return nullptr;
    surface->MarkAllDirty();
    return surface;
}

int DDSurface::Lock(LockedSurface& out, int firstRow, int endRow) {
    if (failLocks) return SURFACE_LOCK_FAILED;
    out.pixels = memory.get();
    out.pitch = pitch;
    out.width = width;
    out.height = height;
    out.layout = layout;
    ++lockCount;
    MarkDirty(firstRow, endRow);
    return SURFACE_OK;
}

int DDSurface::LockForRead(LockedSurface& out) {
    return Lock(out, 0, 0);
}

int DDSurface::Unlock() {
    if (lockCount == 0) return SURFACE_INVALID;
    --lockCount;
    return SURFACE_OK;
}

void DDSurface::SetColorKey(uint32_t key) {
    hasColorKey = true;
    colorKey = key;
}

void DDSurface::MarkDirty(int first, int end) {
    first = std::max(first, 0);
    end = std::min(end, height);
    if (end <= first) return;
    if (dirtyEnd <= dirtyFirst) {
        dirtyFirst = first;
        dirtyEnd = end;
        return;
    }
    dirtyFirst = std::min(dirtyFirst, first);
    dirtyEnd = std::max(dirtyEnd, end);
}

void DDSurface::TakeDirtyRows(int& first, int& end) {
    first = dirtyFirst;
    end = dirtyEnd;
    dirtyFirst = 0;
    dirtyEnd = 0;
}

int DDSurface::Blt(int x, int y, DDSurface& source, const Rect& sourceRect, bool useKey) {
    if (!(source.layout == layout)) return SURFACE_INVALID;
    // Clip to both surfaces so no rectangle can reach outside either block of memory.
    Rect s = sourceRect.Intersection(Rect(0, 0, source.width, source.height));
    int destX = x + s.x - sourceRect.x;
    int destY = y + s.y - sourceRect.y;
    Rect d = Rect(destX, destY, s.width, s.height).Intersection(Rect(0, 0, width, height));
    s.x += d.x - destX;
    s.y += d.y - destY;
    if (d.width <= 0 || d.height <= 0) return SURFACE_OK;
    LockedSurface to;
    LockedSurface from;
    int result = Lock(to, d.y, d.y + d.height);
    if (result != SURFACE_OK) return result;
    result = source.LockForRead(from);
    if (result != SURFACE_OK) {
        Unlock();
        return result;
    }
    int bytes = layout.BytesPerPixel();
    uint8_t* dest = to.pixels + std::size_t(d.y) * to.pitch + std::size_t(d.x) * bytes;
    const uint8_t* src = from.pixels + std::size_t(s.y) * from.pitch + std::size_t(s.x) * bytes;
    if (useKey && source.hasColorKey) {
        if (bytes == 2)
            CopyKeyedRows<uint16_t>(dest, to.pitch, src, from.pitch, d.width, d.height,
                                    source.colorKey);
        else
            CopyKeyedRows<uint32_t>(dest, to.pitch, src, from.pitch, d.width, d.height,
                                    source.colorKey);
    } else if (&source != this && d.x == 0 && d.width == width && to.pitch == from.pitch &&
               d.width == source.width) {
        // Whole rows of equal pitch: one block.
        std::memcpy(dest, src, std::size_t(to.pitch) * d.height);
    } else {
        for (int row = 0; row < d.height; ++row)
            std::memmove(dest + std::size_t(row) * to.pitch, src + std::size_t(row) * from.pitch,
                         std::size_t(d.width) * bytes);
    }
    source.Unlock();
    return Unlock();
}

}  // namespace Varn
