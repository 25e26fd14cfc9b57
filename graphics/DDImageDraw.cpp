// DDImage as a destination: the dispatch of fills, lines and blits to the surface drawers
// (or to memory drawing for pictures with transparency of their own), and the drawers'
// locking around the shared drawing code.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/drawers/SurfaceDrawers.h"

namespace Varn {

namespace {
// Rows [first, end) a line between the two y values can touch.
void LineRows(double y1, double y2, int& first, int& end) {
    double low = std::clamp(std::min(y1, y2), -1.0e9, 1.0e9);
    double high = std::clamp(std::max(y1, y2), -1.0e9, 1.0e9);
    first = std::isfinite(low) ? int(low) : 0;
    end = std::isfinite(high) ? int(high) + 1 : 0;
}
}  // namespace

// Memory drawing when the picture has transparency of its own or cannot have a surface.
bool DDImage::DrawsInMemory() {
    CommitBits();
    if (!device || hasTrans || hasAlpha) return true;
    return GetSurface() == nullptr;
}

// The surface now holds the picture: memory pixels and everything derived from them go.
void DDImage::SurfaceDrawingDone() {
    if (!surface) return;
    if (keepsSurface)
        spareBits = std::move(bits);
    else
        FreeBits();
    readBackValid = false;
    DropDerivedData();
    bitsFromSurface = false;
}

template <typename Draw>
int DDImage::DrawLocked(int firstRow, int endRow, Draw&& draw) {
    DDSurface* target = GetSurface();
    if (!target || !device) return SURFACE_INVALID;
    LockedSurface locked;
    int result = target->Lock(locked, firstRow, endRow);
    if (result != SURFACE_OK) return result;
    const DisplayFormat& format = device->GetFormat();
    if (format.layout == locked.layout) {
        SurfaceDraw::Target t{locked.pixels, locked.pitch, locked.width, locked.height, &format};
        draw(t);
    }
    result = target->Unlock();
    SurfaceDrawingDone();
    return result;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
    if (DrawsInMemory()) {
        MemoryImage::FillRect(rect, color, drawMode);
        return;
    }
    if (drawMode == DrawMode::Normal) NormalFillRect(rect, color);
    if (drawMode == DrawMode::Additive) AdditiveFillRect(rect, color);
    SurfaceDrawingDone();
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color,
                       int drawMode) {
    if (DrawsInMemory()) return;  // a memory image draws no lines
    if (std::isfinite(y1) && std::isfinite(x1) && std::isfinite(x2) && std::isfinite(y2) &&
        (y1 == y2 || x1 == x2)) {
        auto toInt = [](double v) { return int(std::clamp(v, -1.0e9, 1.0e9)); };
        int ax = toInt(x1), ay = toInt(y1), bx = toInt(x2), by = toInt(y2);
        Rect r = y1 == y2 ? Rect(std::min(ax, bx), ay, std::abs(bx - ax) + 1, 1)
                          : Rect(ax, std::min(ay, by), 1, std::abs(by - ay) + 1);
        FillRect(r, color, drawMode);
        return;
    }
    if (drawMode == DrawMode::Normal) NormalDrawLine(x1, y1, x2, y2, color);
    if (drawMode == DrawMode::Additive) AdditiveDrawLine(x1, y1, x2, y2, color);
    SurfaceDrawingDone();
}

void DDImage::Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
                  int drawMode) {
    if (DrawsInMemory()) {
        MemoryImage::Blt(source, x, y, sourceRect, color, drawMode);
        return;
    }
    if (drawMode == DrawMode::Normal) NormalBlt(source, x, y, sourceRect, color);
    if (drawMode == DrawMode::Additive) AdditiveBlt(source, x, y, sourceRect, color);
    SurfaceDrawingDone();
}

void DDImage::StretchBlt(Image* source, const Rect& destRect, const FRect& sourceRect,
                         const Color& color, int drawMode) {
    if (DrawsInMemory()) {
        MemoryImage::StretchBlt(source, destRect, sourceRect, color, drawMode);
        return;
    }
    if (destRect.width <= 0 || destRect.height <= 0) return;
    // Stretch into a scratch picture, then blit that with the tint and mode.
    MemoryImage scratch(nullptr);
    scratch.Create(destRect.width, destRect.height);
    scratch.Clear();
    scratch.StretchBlt(source, Rect(0, 0, destRect.width, destRect.height), sourceRect, color,
                       drawMode);
    Blt(&scratch, destRect.x, destRect.y, Rect(0, 0, destRect.width, destRect.height), color,
        drawMode);
}

// ---- the surface drawers ----

bool DDImage::DrawCoverage(int x, int y, const uint8_t* coverage, int w, int h, int stride,
                           const Color& color, const Rect& clip) {
    if (!device || hasAlpha || !GetSurface()) return false;
    uint32_t colour = device->ConvertColor(Color::Opaque(color).ToPacked());
    DrawLocked(y, y + h, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::CoverageBlend(t, x, y, coverage, w, h, stride, colour, clip);
    });
    SurfaceDrawingDone();
    return true;
}

int DDImage::NormalFillRect(const Rect& rect, const Color& color) {
    return DrawLocked(rect.y, rect.y + rect.height, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::NormalFillRect(t, rect, color);
    });
}

int DDImage::AdditiveFillRect(const Rect& rect, const Color& color) {
    return DrawLocked(rect.y, rect.y + rect.height, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::AdditiveFillRect(t, rect, color);
    });
}

int DDImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color) {
    int first = 0, end = 0;
    LineRows(y1, y2, first, end);
    return DrawLocked(first, end, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::NormalDrawLine(t, x1, y1, x2, y2, color);
    });
}

int DDImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color) {
    int first = 0, end = 0;
    LineRows(y1, y2, first, end);
    return DrawLocked(first, end, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::AdditiveDrawLine(t, x1, y1, x2, y2, color);
    });
}

int DDImage::NormalBlt(Image* source, int x, int y, const Rect& sourceRect, const Color& tint) {
    auto* src = dynamic_cast<MemoryImage*>(source);
    if (!src || !device) return SURFACE_OK;
    src->CommitBits();
    bool blended = src->HasAlpha() || tint.alpha != 255;
    if (!blended) {
        auto* surfaced = dynamic_cast<DDImage*>(src);
        DDSurface* from = surfaced && surfaced != this ? surfaced->GetSurface() : nullptr;
        DDSurface* to = GetSurface();
        if (from && to) {
            int result = to->Blt(x, y, *from, sourceRect, src->HasTrans());
            if (result != SURFACE_INVALID) {
                SurfaceDrawingDone();
                return result;
            }
        }
    }
    const PixelLayout& l = device->GetFormat().layout;
    SurfaceDraw::Source s;
    s.native = src->GetNativeAlphaData(l.bitCount, l.redMask, l.greenMask, l.blueMask);
    s.runs = blended ? src->GetRunLengthAlphaData() : nullptr;
    s.width = src->GetWidth();
    s.height = src->GetHeight();
    bool keyed = src->HasTrans();
    return DrawLocked(y, y + sourceRect.height, [&](const SurfaceDraw::Target& t) {
        if (blended)
            SurfaceDraw::NormalBltBlended(t, x, y, s, sourceRect, tint);
        else
            SurfaceDraw::NormalBltCopy(t, x, y, s, sourceRect, keyed);
    });
}

int DDImage::AdditiveBlt(Image* source, int x, int y, const Rect& sourceRect, const Color& tint) {
    auto* src = dynamic_cast<MemoryImage*>(source);
    if (!src || !device) return SURFACE_OK;
    src->CommitBits();
    const PixelLayout& l = device->GetFormat().layout;
    SurfaceDraw::Source s;
    s.native = src->GetNativeAlphaData(l.bitCount, l.redMask, l.greenMask, l.blueMask);
    s.runs = src->GetRunLengthAdditiveData(l.bitCount, l.redMask, l.greenMask, l.blueMask);
    s.width = src->GetWidth();
    s.height = src->GetHeight();
    return DrawLocked(y, y + sourceRect.height, [&](const SurfaceDraw::Target& t) {
        SurfaceDraw::AdditiveBlt(t, x, y, s, sourceRect, tint);
    });
}

}  // namespace Varn
