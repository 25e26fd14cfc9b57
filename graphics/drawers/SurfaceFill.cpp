// Rectangle fills and midpoint lines into a locked display surface.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <type_traits>

#include "graphics/drawers/SurfacePixel.h"
#include "graphics/drawers/SurfaceSpans.h"

namespace Varn::SurfaceDraw {

using namespace detail;

namespace {

Rect ClipToTarget(const Target& t, const Rect& r) {
    return r.Intersection(Rect(0, 0, t.width, t.height));
}

template <typename L>
void FillNormal(const Target& t, const L& l, const Rect& r, const Color& c) {
    using P = typename L::Pixel;
    NormalPen<L> pen(l, c);
    constexpr bool kVectorLayout = std::is_same_v<L, Layout565> || std::is_same_v<L, Layout8888>;
    bool vector = kVectorLayout && VectorCodeOn();
    for (int y = r.y; y < r.y + r.height; ++y) {
        P* row = Row<P>(t, y) + r.x;
        if (pen.opaque) {
            std::fill(row, row + r.width, P(pen.value));
            continue;
        }
        int i = 0;
        if constexpr (kVectorLayout)
            if (vector) i = FillSpan(row, r.width, pen.value, pen.inv);
        for (; i < r.width; ++i) row[i] = P(pen.Apply(l, row[i]));
    }
}

template <typename L>
void FillAdditive(const Target& t, const L&, const Rect& r, const Color& c) {
    using P = typename L::Pixel;
    AdditivePen pen(t.format, c);
    for (int y = r.y; y < r.y + r.height; ++y) {
        P* row = Row<P>(t, y) + r.x;
        for (int i = 0; i < r.width; ++i) row[i] = P(pen.Apply(row[i]));
    }
}

// Visits the pixels of the midpoint line between the truncated endpoints, major axis
// walked upwards; pixels outside the target are skipped.
template <typename Plot>
void WalkLine(const Target& t, double x1, double y1, double x2, double y2, Plot&& plot) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return;
    auto toInt = [](double v) { return int(std::clamp(v, -1.0e9, 1.0e9)); };
    long ax = toInt(x1), ay = toInt(y1), bx = toInt(x2), by = toInt(y2);
    bool steep = std::labs(by - ay) > std::labs(bx - ax);
    if (steep) {
        std::swap(ax, ay);
        std::swap(bx, by);
    }
    if (ax > bx) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    long dMajor = bx - ax;
    long dMinor = std::labs(by - ay);
    long step = by >= ay ? 1 : -1;
    long decision = 2 * dMinor - dMajor;
    long minor = ay;
    for (long major = ax; major <= bx; ++major) {
        long px = steep ? minor : major;
        long py = steep ? major : minor;
        if (px >= 0 && py >= 0 && px < t.width && py < t.height) plot(int(px), int(py));
        if (decision > 0) {
            minor += step;
            decision -= 2 * dMajor;
        }
        decision += 2 * dMinor;
    }
}

}  // namespace

void NormalFillRect(const Target& t, const Rect& rect, const Color& color) {
    Rect r = ClipToTarget(t, rect);
    if (r.width <= 0 || r.height <= 0) return;
    Color c = ClampColor(color);
    WithLayout(t, [&](const auto& l) { FillNormal(t, l, r, c); });
}

void AdditiveFillRect(const Target& t, const Rect& rect, const Color& color) {
    Rect r = ClipToTarget(t, rect);
    if (r.width <= 0 || r.height <= 0) return;
    Color c = ClampColor(color);
    WithLayout(t, [&](const auto& l) { FillAdditive(t, l, r, c); });
}

void NormalDrawLine(const Target& t, double x1, double y1, double x2, double y2,
                    const Color& color) {
    Color c = ClampColor(color);
    WithLayout(t, [&](const auto& l) {
        using L = std::decay_t<decltype(l)>;
        using P = typename L::Pixel;
        NormalPen<L> pen(l, c);
        WalkLine(t, x1, y1, x2, y2, [&](int x, int y) {
            P& d = Row<P>(t, y)[x];
            d = P(pen.Apply(l, d));
        });
    });
}

void AdditiveDrawLine(const Target& t, double x1, double y1, double x2, double y2,
                      const Color& color) {
    Color c = ClampColor(color);
    WithLayout(t, [&](const auto& l) {
        using P = typename std::decay_t<decltype(l)>::Pixel;
        AdditivePen pen(t.format, c);
        WalkLine(t, x1, y1, x2, y2, [&](int x, int y) {
            P& d = Row<P>(t, y)[x];
            d = P(pen.Apply(d));
        });
    });
}

}  // namespace Varn::SurfaceDraw
