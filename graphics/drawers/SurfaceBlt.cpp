// Image blits into a locked display surface: the blended path (alpha over, optional tint),
// the copy path for pictures without partial alpha, and the additive blit. Rows are walked
// in runs from the source's run-length tables; a run cut by the rectangle's edge or by the
// 255 cap is resumed from the table entry where the walk stands.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "graphics/drawers/SurfacePixel.h"
#include "graphics/drawers/SurfaceSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Varn::SurfaceDraw {

using namespace detail;

namespace {

// The part of a blit that lies inside both the source and the target.
struct BlitArea {
    int destX = 0;
    int destY = 0;
    int sourceX = 0;
    int sourceY = 0;
    int width = 0;
    int height = 0;
};

bool Clip(const Target& t, int x, int y, const Source& s, const Rect& sourceRect, BlitArea& a) {
    if (!s.native || !t.pixels) return false;
    Rect src = sourceRect.Intersection(Rect(0, 0, s.width, s.height));
    int destX = x + src.x - sourceRect.x;
    int destY = y + src.y - sourceRect.y;
    Rect d = Rect(destX, destY, src.width, src.height).Intersection(Rect(0, 0, t.width, t.height));
    a = {d.x, d.y, src.x + d.x - destX, src.y + d.y - destY, d.width, d.height};
    return a.width > 0 && a.height > 0;
}

// Opaque runs are short in sprites (a few dozen pixels): a plain vector loop beats the
// start-up cost of the library copy there; long runs go to memcpy.
constexpr int kLongRun = 64;

inline void CopyRun(uint32_t* d, const uint32_t* n, int count) {
    if (count >= kLongRun) {
        std::memcpy(d, n, std::size_t(count) * 4);
        return;
    }
    int k = 0;
#if defined(__SSE2__)
    for (; k + 4 <= count; k += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + k)));
#endif
    for (; k < count; ++k) d[k] = n[k];
}

// The low 16 bits of each native value.
inline void CopyRun(uint16_t* d, const uint32_t* n, int count) {
    int k = 0;
#if defined(__SSE2__)
    for (; k + 8 <= count; k += 8) {
        // Sign-extend the low halves so the signed pack keeps them exactly.
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + k));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n + k + 4));
        a = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
        b = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k), _mm_packs_epi32(a, b));
    }
#endif
    for (; k < count; ++k) d[k] = uint16_t(n[k]);
}

// Opaque runs are copied (a vector blend would read the destination for nothing); with
// Vector, translucent runs of four or more take the vector blend.
template <bool Vector, typename L>
void BlendRows(const Target& t, const L& l, const Source& s, const BlitArea& a) {
    using P = typename L::Pixel;
    for (int j = 0; j < a.height; ++j) {
        std::size_t at = std::size_t(a.sourceY + j) * s.width + a.sourceX;
        const uint32_t* n = s.native + at;
        const uint8_t* runs = s.runs + at;
        P* d = Row<P>(t, a.destY + j) + a.destX;
        for (int i = 0; i < a.width;) {
            int count = std::min<int>(runs[i], a.width - i);
            uint32_t alpha = n[i] >> 24;
            if (alpha == 255) {
                CopyRun(d + i, n + i, count);
            } else if (alpha != 0) {
                int k = i;
                // Most translucent runs are a pixel or two of an edge.
                if constexpr (Vector) k += count >= 4 ? BlendSpan(d + i, n + i, count) : 0;
                for (; k < i + count; ++k) d[k] = P(n[k] + ScaleAll(l, d[k], 256 - (n[k] >> 24)));
            }
            i += count;
        }
    }
}

template <typename L>
struct TintPen {
    uint32_t tR, tG, tB, tintAlpha;
    explicit TintPen(const Color& c)
        : tR(uint32_t(c.red * c.alpha / 255)),
          tG(uint32_t(c.green * c.alpha / 255)),
          tB(uint32_t(c.blue * c.alpha / 255)),
          tintAlpha(uint32_t(c.alpha)) {}

    uint32_t Opaque(const L& l, uint32_t n) const {
        using W = typename L::Wide;
        return One<W>(n, l.rM, tR) + One<W>(n, l.gM, tG) + One<W>(n, l.bM, tB);
    }
    uint32_t Blend(const L& l, uint32_t n, uint32_t d) const {
        using W = typename L::Wide;
        uint32_t m = (n >> 24) * tintAlpha / 255;
        uint32_t inv = 256 - m;
        return Two<W>(n, d, l.rM, tR, inv) + Two<W>(n, d, l.gM, tG, inv) +
               Two<W>(n, d, l.bM, tB, inv);
    }
    template <typename W>
    static uint32_t One(uint32_t n, uint32_t m, uint32_t tc) {
        return uint32_t((W(n & m) * tc + (m >> 1)) >> 8) & m;
    }
    template <typename W>
    static uint32_t Two(uint32_t n, uint32_t d, uint32_t m, uint32_t tc, uint32_t inv) {
        return uint32_t((W(n & m) * tc + W(d & m) * inv + (m >> 1)) >> 8) & m;
    }
};

template <typename L>
void BlendRowsTinted(const Target& t, const L& l, const Source& s, const BlitArea& a,
                     const Color& tint) {
    using P = typename L::Pixel;
    TintPen<L> pen(tint);
    bool opaqueTint = tint.alpha == 255;
    for (int j = 0; j < a.height; ++j) {
        std::size_t at = std::size_t(a.sourceY + j) * s.width + a.sourceX;
        const uint32_t* n = s.native + at;
        const uint8_t* runs = s.runs + at;
        P* d = Row<P>(t, a.destY + j) + a.destX;
        for (int i = 0; i < a.width;) {
            int count = std::min<int>(runs[i], a.width - i);
            uint32_t alpha = n[i] >> 24;
            if (alpha == 255 && opaqueTint) {
                for (int k = i; k < i + count; ++k) d[k] = P(pen.Opaque(l, n[k]));
            } else if (alpha != 0) {
                for (int k = i; k < i + count; ++k) d[k] = P(pen.Blend(l, n[k], d[k]));
            }
            i += count;
        }
    }
}

template <typename L>
void CopyRows(const Target& t, const L&, const Source& s, const BlitArea& a, bool skipTransparent) {
    using P = typename L::Pixel;
    for (int j = 0; j < a.height; ++j) {
        const uint32_t* n = s.native + std::size_t(a.sourceY + j) * s.width + a.sourceX;
        P* d = Row<P>(t, a.destY + j) + a.destX;
        if (!skipTransparent) {
            CopyRun(d, n, a.width);
            continue;
        }
        for (int i = 0; i < a.width; ++i)
            if (n[i] >> 24) d[i] = P(n[i]);
    }
}

struct AddPen {
    const ChannelFormat* c[3];
    uint32_t tint[3];
    bool tinted;

    AddPen(const DisplayFormat* f, const Color& k)
        : c{&f->red, &f->green, &f->blue},
          tint{uint32_t(k.red * k.alpha / 255), uint32_t(k.green * k.alpha / 255),
               uint32_t(k.blue * k.alpha / 255)},
          tinted(!(k == Color::White)) {}

    uint32_t Add(uint32_t s, uint32_t d) const {
        uint32_t out = 0;
        for (int i = 0; i < 3; ++i) {
            const ChannelFormat& f = *c[i];
            uint32_t index =
                tinted ? ((s & f.mask) >> f.shift) * tint[i] / 256 + ((d & f.mask) >> f.shift)
                       : ((d & f.mask) + (s & f.mask)) >> f.shift;
            out |= uint32_t(f.saturation[index]) << f.shift;
        }
        return out;
    }
};

template <typename L>
void AddRows(const Target& t, const L&, const Source& s, const BlitArea& a, const Color& tint) {
    using P = typename L::Pixel;
    AddPen pen(t.format, tint);
    for (int j = 0; j < a.height; ++j) {
        std::size_t at = std::size_t(a.sourceY + j) * s.width + a.sourceX;
        const uint32_t* n = s.native + at;
        const uint8_t* runs = s.runs + at;
        P* d = Row<P>(t, a.destY + j) + a.destX;
        for (int i = 0; i < a.width;) {
            int count = std::min<int>(runs[i], a.width - i);
            if (n[i] & 0x00FFFFFFu)
                for (int k = i; k < i + count; ++k) d[k] = P(pen.Add(n[k], d[k]));
            i += count;
        }
    }
}

// The vector forms, for 5-6-5 and x8r8g8b8 only.
template <typename L>
constexpr bool kVectorLayout = std::is_same_v<L, Layout565> || std::is_same_v<L, Layout8888>;

// Calls span(d, n, count) for every stretch of consecutive runs whose first value is not
// empty: such runs are drawn with one per-pixel formula, so they can be drawn in one go.
template <typename P, typename Empty, typename Span>
void WalkSpans(const Target& t, const Source& s, const BlitArea& a, Empty&& empty, Span&& span) {
    for (int j = 0; j < a.height; ++j) {
        std::size_t at = std::size_t(a.sourceY + j) * s.width + a.sourceX;
        const uint32_t* n = s.native + at;
        const uint8_t* runs = s.runs + at;
        P* d = Row<P>(t, a.destY + j) + a.destX;
        for (int i = 0; i < a.width;) {
            int end = i + std::min<int>(runs[i], a.width - i);
            if (empty(n[i])) {
                i = end;
                continue;
            }
            while (end < a.width && !empty(n[end])) end += std::min<int>(runs[end], a.width - end);
            span(d + i, n + i, end - i);
            i = end;
        }
    }
}

inline bool Transparent(uint32_t n) {
    return (n >> 24) == 0;
}
inline bool Black(uint32_t n) {
    return (n & 0x00FFFFFFu) == 0;
}

template <typename L>
void BlendRowsTintedVector(const Target& t, const L& l, const Source& s, const BlitArea& a,
                           const Color& tint) {
    using P = typename L::Pixel;
    TintPen<L> pen(tint);
    TintFactors f{pen.tR, pen.tG, pen.tB, pen.tintAlpha};
    WalkSpans<P>(t, s, a, Transparent, [&](P* d, const uint32_t* n, int count) {
        for (int k = TintSpan(d, n, count, f); k < count; ++k) {
            bool opaque = (n[k] >> 24) == 255 && f.alpha == 255;
            d[k] = opaque ? P(pen.Opaque(l, n[k])) : P(pen.Blend(l, n[k], d[k]));
        }
    });
}

template <typename L>
void AddRowsVector(const Target& t, const L&, const Source& s, const BlitArea& a,
                   const Color& tint) {
    using P = typename L::Pixel;
    AddPen pen(t.format, tint);
    TintFactors f{pen.tint[0], pen.tint[1], pen.tint[2], uint32_t(tint.alpha)};
    const TintFactors* tinted = pen.tinted ? &f : nullptr;
    WalkSpans<P>(t, s, a, Black, [&](P* d, const uint32_t* n, int count) {
        for (int k = AddSpan(d, n, count, tinted); k < count; ++k) d[k] = P(pen.Add(n[k], d[k]));
    });
}

}  // namespace

void NormalBltBlended(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                      const Color& tint) {
    BlitArea a;
    if (!s.runs || !Clip(t, x, y, s, sourceRect, a)) return;
    Color k = ClampColor(tint);
    bool vector = VectorCodeOn();
    WithLayout(t, [&](const auto& l) {
        if constexpr (kVectorLayout<std::decay_t<decltype(l)>>) {
            if (vector) {
                if (k == Color::White)
                    BlendRows<true>(t, l, s, a);
                else
                    BlendRowsTintedVector(t, l, s, a, k);
                return;
            }
        }
        if (k == Color::White)
            BlendRows<false>(t, l, s, a);
        else
            BlendRowsTinted(t, l, s, a, k);
    });
}

void NormalBltCopy(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                   bool skipTransparent) {
    BlitArea a;
    if (!Clip(t, x, y, s, sourceRect, a)) return;
    WithLayout(t, [&](const auto& l) { CopyRows(t, l, s, a, skipTransparent); });
}

void AdditiveBlt(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                 const Color& tint) {
    BlitArea a;
    if (!s.runs || !Clip(t, x, y, s, sourceRect, a)) return;
    Color k = ClampColor(tint);
    bool vector = VectorCodeOn();
    WithLayout(t, [&](const auto& l) {
        if constexpr (kVectorLayout<std::decay_t<decltype(l)>>) {
            if (vector) {
                AddRowsVector(t, l, s, a, k);
                return;
            }
        }
        AddRows(t, l, s, a, k);
    });
}

}  // namespace Varn::SurfaceDraw
