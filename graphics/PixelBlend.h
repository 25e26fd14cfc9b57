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

// Untinted blend of n source pixels onto n destination pixels (alpha 0 leaves a pixel
// alone), with the widest vector kernel the CPU has; the same result as BlendPixel on each.
void BlendRow(uint32_t* d, const uint32_t* s, int n);

// The same over a rectangle: `rows` rows of `width` pixels, strides in pixels.
struct RowSpan {
    uint32_t* dest;
    int destStride;
    const uint32_t* source;
    int sourceStride;
    int width;
    int rows;
};
void BlendRows(const RowSpan& span);

// The tinted blend (BlendTinted) over a rectangle with the AVX2 kernel; false, drawing
// nothing, when that kernel is not in use (the caller runs its own loop).
struct Tint;
bool BlendTintedRows(const RowSpan& span, const Tint& tint);

// The kernels the drawers run: the widest the CPU has (AVX2, checked at run time), SSE2, or
// the plain C++ loops. Tests switch between them to compare their bytes; the choice is
// not meant to change while another thread draws.
enum class Kernels { Widest, Sse2, Scalar };
void UseKernels(Kernels kernels);
// What runs now: Widest only with AVX2 present, Sse2 only on builds that have it.
Kernels KernelsInUse();
bool HasAvx2();

}  // namespace Varn::PixelBlend
