// Internal to the surface drawers: vector forms of the per-pixel blit arithmetic for the two
// common layouts (5-6-5 and x8r8g8b8), bit-identical to the scalar formulas. Each kernel
// works on a span of consecutive non-empty runs, does a whole number of vector steps and
// returns how many pixels it did; the caller finishes the rest with the scalar formula.
// Without SSE2 (other processors) every kernel does nothing and returns 0. Inline: they run
// once per run, often on a handful of pixels, where a call would cost more than the work.
//
// Every channel product is taken in 16-bit lanes: where a full product could pass 16 bits,
// the formula only keeps bits below 16 of the sum (the channel mask after the shift), so the
// wrapped lane gives the same bits.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Varn::SurfaceDraw::detail {

// False after UseVectorCode(false): the drawers then take their plain scalar loops.
bool VectorCodeOn();

// A tint as the blits use it: tR = red * alpha / 255 and so on, and the tint's alpha.
struct TintFactors {
    uint32_t r, g, b, alpha;
};

#if defined(__SSE2__)

using V = __m128i;

inline V Load(const void* p) {
    return _mm_loadu_si128(static_cast<const V*>(p));
}
inline void Store(void* p, V v) {
    _mm_storeu_si128(static_cast<V*>(p), v);
}
inline V Set16(int v) {
    return _mm_set1_epi16(static_cast<short>(v));
}

// The low 16 bits of eight native values (sign-extended first so the signed pack keeps them).
inline V Narrow(const uint32_t* n) {
    V a = _mm_srai_epi32(_mm_slli_epi32(Load(n), 16), 16);
    V b = _mm_srai_epi32(_mm_slli_epi32(Load(n + 4), 16), 16);
    return _mm_packs_epi32(a, b);
}

// The alpha bytes of eight native values, one per 16-bit lane.
inline V Alpha16(const uint32_t* n) {
    return _mm_packs_epi32(_mm_srli_epi32(Load(n), 24), _mm_srli_epi32(Load(n + 4), 24));
}

inline bool AllSet(V mask) {
    return _mm_movemask_epi8(mask) == 0xFFFF;
}

// 256 - alpha * tint alpha / 255 per 16-bit lane (x / 255 as (x + 1 + (x >> 8)) >> 8, exact
// for every product of two bytes); with an opaque tint, 0 for an opaque pixel.
inline V Inverse16(V alpha, const TintFactors& t) {
    if (t.alpha == 255)
        return _mm_andnot_si128(_mm_cmpeq_epi16(alpha, Set16(255)),
                                _mm_sub_epi16(Set16(256), alpha));
    V x = _mm_mullo_epi16(alpha, Set16(int(t.alpha)));
    V m = _mm_srli_epi16(_mm_add_epi16(x, _mm_add_epi16(Set16(1), _mm_srli_epi16(x, 8))), 8);
    return _mm_sub_epi16(Set16(256), m);
}

// The 5-6-5 channels of eight pixels.
struct Channels565 {
    V r, g, b;
    explicit Channels565(V v)
        : r(_mm_srli_epi16(v, 11)),
          g(_mm_and_si128(_mm_srli_epi16(v, 5), Set16(63))),
          b(_mm_and_si128(v, Set16(31))) {}
};

// (c * f + round) >> 8 per 16-bit lane.
inline V Scale16(V c, V f, V round) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(c, f), round), 8);
}

// Each pixel's value repeated in the four 16-bit lanes of its channels: pixels 0-1 (lo) or
// 2-3 (hi) of a vector holding one 16-bit value per 32-bit lane.
inline V SpreadLo(V v) {
    v = _mm_or_si128(v, _mm_slli_epi32(v, 16));
    return _mm_unpacklo_epi32(v, v);
}
inline V SpreadHi(V v) {
    v = _mm_or_si128(v, _mm_slli_epi32(v, 16));
    return _mm_unpackhi_epi32(v, v);
}

// Untinted alpha over: an opaque pixel (alpha 255) is copied, any other becomes
// n + the destination's channels scaled by (256 - alpha). No pixel may have alpha 0.
inline int BlendSpan(uint32_t* d, const uint32_t* n, int count) {
    const V zero = _mm_setzero_si128();
    const V colour = _mm_set1_epi32(0x00FFFFFF);
    const V round = Set16(127);
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        V nv = Load(n + k);
        V alpha = _mm_srli_epi32(nv, 24);
        V opaque = _mm_cmpeq_epi32(alpha, _mm_set1_epi32(255));
        if (AllSet(opaque)) {
            Store(d + k, nv);
            continue;
        }
        V inv = _mm_andnot_si128(opaque, _mm_sub_epi32(_mm_set1_epi32(256), alpha));
        V dv = _mm_and_si128(Load(d + k), colour);
        V lo = Scale16(_mm_unpacklo_epi8(dv, zero), SpreadLo(inv), round);
        V hi = Scale16(_mm_unpackhi_epi8(dv, zero), SpreadHi(inv), round);
        Store(d + k, _mm_add_epi32(nv, _mm_packus_epi16(lo, hi)));
    }
    return k;
}

inline int BlendSpan(uint16_t* d, const uint32_t* n, int count) {
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        V alpha = Alpha16(n + k);
        V nv = Narrow(n + k);
        V opaque = _mm_cmpeq_epi16(alpha, Set16(255));
        if (AllSet(opaque)) {
            Store(d + k, nv);
            continue;
        }
        V inv = _mm_andnot_si128(opaque, _mm_sub_epi16(Set16(256), alpha));
        Channels565 c(Load(d + k));
        V r = _mm_slli_epi16(Scale16(c.r, inv, Set16(15)), 11);
        V g = _mm_slli_epi16(Scale16(c.g, inv, Set16(31)), 5);
        V b = Scale16(c.b, inv, Set16(15));
        Store(d + k, _mm_add_epi16(nv, _mm_or_si128(_mm_or_si128(r, g), b)));
    }
    return k;
}

// Tinted alpha over: each channel ((n & M) * tC + (d & M) * inv + M / 2) >> 8 & M, where
// inv = 256 - alpha * tint alpha / 255, or 0 for an opaque pixel under an opaque tint (the
// opaque formula). No pixel may have alpha 0.
inline int TintSpan(uint32_t* d, const uint32_t* n, int count, const TintFactors& t) {
    const V zero = _mm_setzero_si128();
    const V colour = _mm_set1_epi32(0x00FFFFFF);
    const V round = Set16(127);
    // x8r8g8b8 bytes in memory order: blue, green, red, unused.
    const V tc = _mm_setr_epi16(short(t.b), short(t.g), short(t.r), 0, short(t.b), short(t.g),
                                short(t.r), 0);
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        V nv = Load(n + k);
        // One alpha per 32-bit lane; the upper halves are cleared after the arithmetic.
        V inv = _mm_and_si128(Inverse16(_mm_srli_epi32(nv, 24), t), _mm_set1_epi32(0xFFFF));
        V dv = _mm_and_si128(Load(d + k), colour);
        V lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(nv, zero), tc),
                             _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), SpreadLo(inv)));
        V hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(nv, zero), tc),
                             _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), SpreadHi(inv)));
        lo = _mm_srli_epi16(_mm_add_epi16(lo, round), 8);
        hi = _mm_srli_epi16(_mm_add_epi16(hi, round), 8);
        Store(d + k, _mm_packus_epi16(lo, hi));
    }
    return k;
}

inline int TintSpan(uint16_t* d, const uint32_t* n, int count, const TintFactors& t) {
    const V tR = Set16(int(t.r)), tG = Set16(int(t.g)), tB = Set16(int(t.b));
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        V inv = Inverse16(Alpha16(n + k), t);
        Channels565 s(Narrow(n + k));
        Channels565 c(Load(d + k));
        auto sum = [&](V sc, V tcv, V dc, int round) {
            return _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(sc, tcv), _mm_mullo_epi16(dc, inv)),
                                 Set16(round));
        };
        // Bits 8-12 of the red sum land at 11-15, bits 8-13 of green at 5-10.
        V r = _mm_and_si128(_mm_slli_epi16(sum(s.r, tR, c.r, 15), 3), Set16(0xF800));
        V g = _mm_and_si128(_mm_srli_epi16(sum(s.g, tG, c.g, 31), 3), Set16(0x07E0));
        V b = _mm_and_si128(_mm_srli_epi16(sum(s.b, tB, c.b, 15), 8), Set16(0x001F));
        Store(d + k, _mm_or_si128(_mm_or_si128(r, g), b));
    }
    return k;
}

// Saturating add of the premultiplied source, each channel scaled by tC / 256 first when
// tint is given. On x8r8g8b8 the top byte becomes 0.
inline int AddSpan(uint32_t* d, const uint32_t* s, int count, const TintFactors* tint) {
    const V zero = _mm_setzero_si128();
    const V colour = _mm_set1_epi32(0x00FFFFFF);
    V tc = zero;
    if (tint)
        tc = _mm_setr_epi16(short(tint->b), short(tint->g), short(tint->r), 0, short(tint->b),
                            short(tint->g), short(tint->r), 0);
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        V sv = _mm_and_si128(Load(s + k), colour);
        if (tint) {
            V lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), tc), 8);
            V hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), tc), 8);
            sv = _mm_packus_epi16(lo, hi);
        }
        V dv = _mm_and_si128(Load(d + k), colour);
        Store(d + k, _mm_adds_epu8(dv, sv));
    }
    return k;
}

inline int AddSpan(uint16_t* d, const uint32_t* s, int count, const TintFactors* tint) {
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        Channels565 a(Narrow(s + k));
        if (tint) {
            a.r = _mm_srli_epi16(_mm_mullo_epi16(a.r, Set16(int(tint->r))), 8);
            a.g = _mm_srli_epi16(_mm_mullo_epi16(a.g, Set16(int(tint->g))), 8);
            a.b = _mm_srli_epi16(_mm_mullo_epi16(a.b, Set16(int(tint->b))), 8);
        }
        Channels565 c(Load(d + k));
        V r = _mm_slli_epi16(_mm_min_epi16(_mm_add_epi16(a.r, c.r), Set16(31)), 11);
        V g = _mm_slli_epi16(_mm_min_epi16(_mm_add_epi16(a.g, c.g), Set16(63)), 5);
        V b = _mm_min_epi16(_mm_add_epi16(a.b, c.b), Set16(31));
        Store(d + k, _mm_or_si128(_mm_or_si128(r, g), b));
    }
    return k;
}

// Translucent fill: value (the premultiplied colour) + the destination's channels scaled by
// inv / 256, inv from 2 to 256.
inline int FillSpan(uint32_t* d, int count, uint32_t value, uint32_t inv) {
    const V zero = _mm_setzero_si128();
    const V colour = _mm_set1_epi32(0x00FFFFFF);
    const V f = Set16(int(inv));
    const V v = _mm_set1_epi32(int(value));
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        V dv = _mm_and_si128(Load(d + k), colour);
        V lo = Scale16(_mm_unpacklo_epi8(dv, zero), f, Set16(127));
        V hi = Scale16(_mm_unpackhi_epi8(dv, zero), f, Set16(127));
        Store(d + k, _mm_add_epi32(v, _mm_packus_epi16(lo, hi)));
    }
    return k;
}

inline int FillSpan(uint16_t* d, int count, uint32_t value, uint32_t inv) {
    const V f = Set16(int(inv));
    const V v = Set16(int(value & 0xFFFF));
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        Channels565 c(Load(d + k));
        V r = _mm_slli_epi16(Scale16(c.r, f, Set16(15)), 11);
        V g = _mm_slli_epi16(Scale16(c.g, f, Set16(31)), 5);
        V b = Scale16(c.b, f, Set16(15));
        Store(d + k, _mm_add_epi16(v, _mm_or_si128(_mm_or_si128(r, g), b)));
    }
    return k;
}

#else  // no SSE2: the plain loops do everything

inline int BlendSpan(uint32_t*, const uint32_t*, int) {
    return 0;
}
inline int BlendSpan(uint16_t*, const uint32_t*, int) {
    return 0;
}
inline int TintSpan(uint32_t*, const uint32_t*, int, const TintFactors&) {
    return 0;
}
inline int TintSpan(uint16_t*, const uint32_t*, int, const TintFactors&) {
    return 0;
}
inline int AddSpan(uint32_t*, const uint32_t*, int, const TintFactors*) {
    return 0;
}
inline int AddSpan(uint16_t*, const uint32_t*, int, const TintFactors*) {
    return 0;
}
inline int FillSpan(uint32_t*, int, uint32_t, uint32_t) {
    return 0;
}
inline int FillSpan(uint16_t*, int, uint32_t, uint32_t) {
    return 0;
}

#endif

}  // namespace Varn::SurfaceDraw::detail
