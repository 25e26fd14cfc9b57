// PixelBlend: the exact integer blend of one non-premultiplied packed pixel over another.
// Shared by Blt and StretchBlt; the divisions are looked up in tables built once.
// All results equal the formulas with truncating integer division:
//   nA = dA + (255 - dA) * a / 255,  w = a * 255 / nA,
//   untinted channel = (d * (256 - w) >> 8) + (s * w >> 8).
#pragma once

#include <cstdint>

namespace Varn::PixelBlend {

// NewAlpha(dA, a) and Weight(a, nA) as tables: 256 x 256 entries each.
struct Tables {
    uint8_t newAlpha[256][256];  // [dA][a]
    uint16_t weight[256][256];   // [a][nA], 0 where nA == 0
    Tables();
};
const Tables& GetTables();

inline uint32_t BlendChannels(uint32_t d, uint32_t s, uint32_t w, uint32_t nA) {
    uint32_t inv = 256 - w;
    uint32_t r = ((d & 0xFF) * inv >> 8) + ((s & 0xFF) * w >> 8);
    uint32_t g = ((d >> 8 & 0xFF) * inv >> 8) + ((s >> 8 & 0xFF) * w >> 8);
    uint32_t b = ((d >> 16 & 0xFF) * inv >> 8) + ((s >> 16 & 0xFF) * w >> 8);
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16 | nA << 24;
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
    uint32_t r = ((d & 0xFF) * inv >> 8) + ((s & 0xFF) * w * k.red >> 16);
    uint32_t g = ((d >> 8 & 0xFF) * inv >> 8) + ((s >> 8 & 0xFF) * w * k.green >> 16);
    uint32_t b = ((d >> 16 & 0xFF) * inv >> 8) + (((s >> 16 & 0xFF) * w >> 8) * k.blue >> 8);
    return (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16 | nA << 24;
}

}  // namespace Varn::PixelBlend
