// Internal to the surface drawers: pixel layouts as compile-time traits (5-6-5 and x8r8g8b8,
// so the masks fold into constants) or runtime masks (any other 16- or 32-bit layout), and
// the per-pixel arithmetic every drawer shares. "Wide" is the integer type in which a
// channel product cannot overflow.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/Color.h"
#include "graphics/drawers/SurfaceDrawers.h"

namespace Varn::SurfaceDraw::detail {

struct Layout565 {
    using Pixel = uint16_t;
    using Wide = uint32_t;
    static constexpr uint32_t rM = 0xF800u, gM = 0x07E0u, bM = 0x001Fu;
};

struct Layout8888 {
    using Pixel = uint32_t;
    using Wide = uint64_t;
    static constexpr uint32_t rM = 0x00FF0000u, gM = 0x0000FF00u, bM = 0x000000FFu;
};

template <typename P>
struct AnyLayout {
    using Pixel = P;
    using Wide = uint64_t;
    uint32_t rM, gM, bM;
};

inline int Clamp8(int v) {
    return std::clamp(v, 0, 255);
}

inline Color ClampColor(const Color& c) {
    return Color(Clamp8(c.red), Clamp8(c.green), Clamp8(c.blue), Clamp8(c.alpha));
}

// ((c * M + M/2) >> 8) & M: an 8-bit value placed into a channel, rounded.
template <typename W>
inline uint32_t ToChannel(uint32_t c, uint32_t m) {
    return uint32_t((W(c) * m + (m >> 1)) >> 8) & m;
}

// (((v & M) * f + M/2) >> 8) & M: a channel of v scaled by f/256, rounded.
template <typename W>
inline uint32_t ScaleChannel(uint32_t v, uint32_t m, uint32_t f) {
    return uint32_t((W(v & m) * f + (m >> 1)) >> 8) & m;
}

template <typename L>
inline uint32_t ScaleAll(const L& l, uint32_t v, uint32_t f) {
    using W = typename L::Wide;
    return ScaleChannel<W>(v, l.rM, f) + ScaleChannel<W>(v, l.gM, f) + ScaleChannel<W>(v, l.bM, f);
}

// The x8r8g8b8 case of ScaleAll, two channels per multiply; equal to it for every input.
inline uint32_t ScaleAll(const Layout8888&, uint32_t v, uint32_t f) {
    uint32_t rb = (((v & 0x00FF00FFu) * f + 0x007F007Fu) >> 8) & 0x00FF00FFu;
    uint32_t g = (((v & 0x0000FF00u) * f + 0x00007F00u) >> 8) & 0x0000FF00u;
    return rb + g;
}

template <typename P>
inline P* Row(const Target& t, int y) {
    return reinterpret_cast<P*>(t.pixels + std::size_t(y) * t.pitch);
}

// What a normal fill writes to one pixel: an opaque value, or premultiplied colour plus the
// destination scaled by the inverse alpha.
template <typename L>
struct NormalPen {
    uint32_t value;  // opaque value or premultiplied colour
    uint32_t inv;    // 0 when opaque
    bool opaque;

    NormalPen(const L& l, const Color& c) {
        using W = typename L::Wide;
        opaque = c.alpha == 255;
        inv = uint32_t(256 - c.alpha);
        if (opaque) {
            value = ToChannel<W>(c.red, l.rM) | ToChannel<W>(c.green, l.gM) |
                    ToChannel<W>(c.blue, l.bM);
        } else {
            auto pre = [&](int v) { return uint32_t((v * c.alpha + 128) >> 8); };
            value = ToChannel<W>(pre(c.red), l.rM) + ToChannel<W>(pre(c.green), l.gM) +
                    ToChannel<W>(pre(c.blue), l.bM);
        }
    }
    uint32_t Apply(const L& l, uint32_t d) const {
        return opaque ? value : value + ScaleAll(l, d, inv);
    }
};

// What an additive fill adds: the colour reduced to the channel widths.
struct AdditivePen {
    const DisplayFormat* f;
    uint32_t cR, cG, cB;

    AdditivePen(const DisplayFormat* format, const Color& c) : f(format) {
        cR = Reduce(c.red, f->red.bits);
        cG = Reduce(c.green, f->green.bits);
        cB = Reduce(c.blue, f->blue.bits);
    }
    static uint32_t Reduce(int v, int bits) {
        return bits >= 8 ? uint32_t(v) : uint32_t(v) >> (8 - bits);
    }
    uint32_t Apply(uint32_t d) const {
        return Add(f->red, cR, d) | Add(f->green, cG, d) | Add(f->blue, cB, d);
    }
    static uint32_t Add(const ChannelFormat& c, uint32_t amount, uint32_t d) {
        uint32_t index = amount + ((d & c.mask) >> c.shift);
        return uint32_t(c.saturation[index]) << c.shift;
    }
};

// Calls body(layoutTraits, pixelTag) with the traits matching the target, or does nothing
// for a depth other than 16 or 32.
template <typename Body>
void WithLayout(const Target& t, Body&& body) {
    if (!t.format || !t.pixels) return;
    const PixelLayout& p = t.format->layout;
    if (p == PixelLayout::Rgb565())
        body(Layout565{});
    else if (p == PixelLayout::Xrgb8888())
        body(Layout8888{});
    else if (p.bitCount == 16)
        body(AnyLayout<uint16_t>{p.redMask, p.greenMask, p.blueMask});
    else if (p.bitCount == 32)
        body(AnyLayout<uint32_t>{p.redMask, p.greenMask, p.blueMask});
}

}  // namespace Varn::SurfaceDraw::detail
