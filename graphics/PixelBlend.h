// PixelBlend: the exact integer blend of one non-premultiplied packed pixel over another.
// Shared by Blt and StretchBlt; the divisions are looked up in tables built once.
// All results equal the formulas with truncating integer division:
//   nA = dA + (255 - dA) * a / 255,  w = a * 255 / nA,
//   untinted channel = (d * (256 - w) >> 8) + (s * w >> 8),
// each channel taken in place in the packed value (masks 0xFF, 0xFF00, 0xFF0000) and the
// sum masked back into its byte. In place, green and blue keep the bits below their byte
// until the sum: opaque white over white is (254, 255, 255).
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Varn::PixelBlend {

// NewAlpha(dA, a) and Weight(a, nA) as tables: 256 x 256 entries each.
struct Tables {
    uint8_t newAlpha[256][256];  // [dA][a]
    uint16_t weight[256][256];   // [a][nA], 0 where nA == 0
    Tables();
};
const Tables& GetTables();

// One channel, in place: both terms keep the bits below the channel's byte until the mask.
inline uint32_t BlendInPlace(uint32_t d, uint32_t s, uint32_t w, uint32_t mask) {
    return (((d & mask) * (256 - w) >> 8) + ((s & mask) * w >> 8)) & mask;
}

inline uint32_t BlendChannels(uint32_t d, uint32_t s, uint32_t w, uint32_t nA) {
    return BlendInPlace(d, s, w, 0xFF) | BlendInPlace(d, s, w, 0xFF00) |
           BlendInPlace(d, s, w, 0xFF0000) | nA << 24;
}

// Untinted blend of source pixel s (alpha a = s >> 24, non-zero) onto d.
inline uint32_t BlendPixel(const Tables& t, uint32_t d, uint32_t s) {
    uint32_t a = s >> 24;
    uint32_t nA = t.newAlpha[d >> 24][a];
    return BlendChannels(d, s, t.weight[a][nA], nA);
}

// The tint premultiplied by its own alpha.
struct Tint {
    uint32_t red, green, blue, alpha;
};

// Tinted blend; a = tint alpha * source alpha / 255, already known to be non-zero.
inline uint32_t BlendTinted(const Tables& t, uint32_t d, uint32_t s, uint32_t a, const Tint& k) {
    uint32_t nA = t.newAlpha[d >> 24][a];
    uint32_t w = t.weight[a][nA];
    uint32_t inv = 256 - w;
    // In place; blue takes its product in two steps so that it stays within 32 bits.
    uint32_t r = ((d & 0xFF) * inv >> 8) + ((s & 0xFF) * w * k.red >> 16);
    uint32_t g = ((d & 0xFF00) * inv >> 8) + ((s & 0xFF00) * w * k.green >> 16);
    uint32_t b = ((d & 0xFF0000) * inv >> 8) + (((s & 0xFF0000) * w >> 8) * k.blue >> 8);
    return (r & 0xFF) | (g & 0xFF00) | (b & 0xFF0000) | nA << 24;
}

// Untinted blend of a source span onto a destination span. Over an opaque destination
// pixel nA = 255 and w = a * 255 / 255 = a, so no division is left and every product fits
// in 16 bits; a source alpha of 0 then gives w = 0 and leaves the pixel as it was, as the
// blend requires. Taken in place, red truncates each term on its own while green and blue
// truncate only the sum: (d * (256 - w) + s * w) >> 8, which fits 16 bits too. Groups of
// four opaque destination pixels take that path in SSE2; any other pixel takes the
// table-driven blend.
inline void BlendSpan(const Tables& t, uint32_t* d, const uint32_t* s, int n) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    const __m128i red = _mm_set_epi16(0, 0, 0, -1, 0, 0, 0, -1);  // the red lane of each pixel
    auto blendHalf = [&](__m128i dd, __m128i ss) {
        __m128i w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(ss, 0xFF), 0xFF);
        __m128i keep = _mm_mullo_epi16(dd, _mm_sub_epi16(full, w));
        __m128i take = _mm_mullo_epi16(ss, w);
        __m128i apart = _mm_add_epi16(_mm_srli_epi16(keep, 8), _mm_srli_epi16(take, 8));
        __m128i together = _mm_srli_epi16(_mm_add_epi16(keep, take), 8);
        return _mm_or_si128(_mm_and_si128(red, apart), _mm_andnot_si128(red, together));
    };
    for (; k + 4 <= n; k += 4) {
        __m128i dd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dd, alpha), alpha)) != 0xFFFF) {
            for (int j = k; j < k + 4; ++j)
                if (s[j] >> 24) d[j] = BlendPixel(t, d[j], s[j]);
            continue;
        }
        __m128i ss = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
        __m128i lo = blendHalf(_mm_unpacklo_epi8(dd, zero), _mm_unpacklo_epi8(ss, zero));
        __m128i hi = blendHalf(_mm_unpackhi_epi8(dd, zero), _mm_unpackhi_epi8(ss, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k),
                         _mm_or_si128(_mm_packus_epi16(lo, hi), alpha));
    }
#endif
    for (; k < n; ++k)
        if (s[k] >> 24) d[k] = BlendPixel(t, d[k], s[k]);
}

}  // namespace Varn::PixelBlend
