// MemoryImage::Blt: exact alpha blending of one memory image onto another.
// Speed comes from the source's cached run-length alpha table (transparent runs are
// skipped whole; opaque runs need no destination at all, a saturating byte subtraction),
// from SSE2 for partial runs over opaque destinations (where the divisions drop out), and
// from table lookups for the divisions elsewhere. The arithmetic is the stated one, bit for
// bit; the scalar loops are the reference and serve where SSE2 is missing.
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {

namespace {

using PixelBlend::Tables;
using PixelBlend::Tint;

// An opaque source pixel gives nA = 255 and w = 255. Red: (d * 1) >> 8 is 0, so it is
// s * 255 >> 8, which is s - 1 for s >= 1 and 0 for 0. Green and blue, taken in place, are
// (d + 255 * s) >> 8: s when d >= s, s - 1 when d < s. Both are saturating byte
// subtractions of 0 or 1.
void BlendOpaqueRun(uint32_t* d, const uint32_t* s, int n) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i redStep = _mm_set1_epi32(0x00000001);
    const __m128i greenBlueStep = _mm_set1_epi32(0x00010100);
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    for (; k + 4 <= n; k += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
        __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
        __m128i notBelow = _mm_cmpeq_epi8(_mm_max_epu8(under, v), under);  // d >= s
        __m128i step = _mm_or_si128(redStep, _mm_andnot_si128(notBelow, greenBlueStep));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k),
                         _mm_or_si128(_mm_subs_epu8(v, step), alpha));
    }
#endif
    for (; k < n; ++k) d[k] = PixelBlend::BlendChannels(d[k], s[k], 255, 255);
}

struct BlitArea {
    const uint32_t* source;
    const uint8_t* runs;
    int sourceStride;
    uint32_t* dest;
    int destStride;
    int width;
    int height;
};

void BlitUntinted(const BlitArea& area) {
    const Tables& t = PixelBlend::GetTables();
    for (int y = 0; y < area.height; ++y) {
        const uint32_t* s = area.source + std::size_t(y) * area.sourceStride;
        const uint8_t* run = area.runs + std::size_t(y) * area.sourceStride;
        uint32_t* d = area.dest + std::size_t(y) * area.destStride;
        for (int i = 0; i < area.width;) {
            int n = std::min<int>(run[i], area.width - i);
            uint32_t a = s[i] >> 24;
            if (a == 255)
                BlendOpaqueRun(d + i, s + i, n);
            else if (a != 0)
                PixelBlend::BlendSpan(t, d + i, s + i, n);
            i += n;
        }
    }
}

void BlitTinted(const BlitArea& area, const Color& color) {
    const Tables& t = PixelBlend::GetTables();
    Tint tint{uint32_t(color.red * color.alpha / 255), uint32_t(color.green * color.alpha / 255),
              uint32_t(color.blue * color.alpha / 255), uint32_t(color.alpha)};
    if (color.alpha == 0) return;
    for (int y = 0; y < area.height; ++y) {
        const uint32_t* s = area.source + std::size_t(y) * area.sourceStride;
        const uint8_t* run = area.runs + std::size_t(y) * area.sourceStride;
        uint32_t* d = area.dest + std::size_t(y) * area.destStride;
        for (int i = 0; i < area.width;) {
            int n = std::min<int>(run[i], area.width - i);
            if ((s[i] >> 24) == 0) {
                i += n;
                continue;
            }
            for (int k = i; k < i + n; ++k) {
                uint32_t a = tint.alpha * (s[k] >> 24) / 255;
                if (a != 0) d[k] = PixelBlend::BlendTinted(t, d[k], s[k], a, tint);
            }
            i += n;
        }
    }
}

}  // namespace

void MemoryImage::Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
                      int) {
    auto* src = dynamic_cast<MemoryImage*>(source);
    if (!src) return;
    // Clip to both images so a bad rectangle can never reach outside either array.
    Rect s = sourceRect.Intersection(Rect(0, 0, src->width, src->height));
    int destX = x + s.x - sourceRect.x;
    int destY = y + s.y - sourceRect.y;
    Rect d = Rect(destX, destY, s.width, s.height).Intersection(Rect(0, 0, width, height));
    s.x += d.x - destX;
    s.y += d.y - destY;
    if (d.width > 0 && d.height > 0) {
        const uint8_t* runs = src->GetRunLengthAlphaData();
        const uint32_t* sourceBits = src->GetBits();
        BlitArea area{sourceBits + std::size_t(s.y) * src->width + s.x,
                      runs + std::size_t(s.y) * src->width + s.x,
                      src->width,
                      GetBits() + std::size_t(d.y) * width + d.x,
                      width,
                      d.width,
                      d.height};
        if (color == Color::White)
            BlitUntinted(area);
        else
            BlitTinted(area, color);
    }
    BitsChanged();
}

}  // namespace Varn
