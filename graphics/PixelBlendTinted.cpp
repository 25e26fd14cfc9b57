// PixelBlend: the tinted row blend in AVX2 (the plain loop lives with Blt). Over an opaque
// destination nA = 255 and w = a = tint alpha * source alpha / 255, where x / 255 for
// x <= 65025 is (x + 1 + (x >> 8)) >> 8 (checked for every x). With t the premultiplied
// tint channel and s * w kept in 16 bits:
//   red   = (d * (256 - w) >> 8) + (s * w * t >> 16),   s * w * t >> 16 = mulhi(s * w, t);
//   green = (d * (256 - w) + (s * w * t >> 8)) >> 8,   s * w * t >> 8 = mulhi(s * w, t << 8);
//   blue, taken in place in two steps, comes to the same form as green.
// Every sum stays within 16 bits, so the shuffle-free lanes of the untinted kernel serve
// (red and blue in the even bytes, green in the odd ones). Other destinations go pixel by
// pixel through the tables. The tests compare the bytes with the plain loop.
#include <initializer_list>

#include "graphics/PixelBlend.h"

#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define GEMLODE_AVX2_KERNELS 1
#endif

namespace Varn::PixelBlend {

namespace {

#if defined(GEMLODE_AVX2_KERNELS)
struct TintConstants {
    __m256i alpha, evenBytes, lowHalf, full, alphaToWords, one, tintAlpha, evenTint, oddTint;
};

__attribute__((target("avx2"))) TintConstants MakeTintConstants(const Tint& tint) {
    TintConstants k{_mm256_set1_epi32(int(0xFF000000u)),
                    _mm256_set1_epi32(0x00FF00FF),
                    _mm256_set1_epi32(0x0000FFFF),
                    _mm256_set1_epi16(256),
                    _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3,
                                     -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1),
                    _mm256_set1_epi16(1),
                    _mm256_set1_epi16(short(tint.alpha)),
                    _mm256_set1_epi32(int(tint.red | tint.blue << 24)),
                    _mm256_set1_epi32(int(tint.green << 8))};
    // Hidden from the optimiser, which would otherwise rebuild them in every group.
    for (__m256i* value : {&k.alpha, &k.evenBytes, &k.lowHalf, &k.full, &k.alphaToWords, &k.one,
                           &k.tintAlpha, &k.evenTint, &k.oddTint})
        __asm__("" : "+x"(*value));
    return k;
}

__attribute__((target("avx2"), always_inline)) inline __m256i TintedOverOpaque(
    const TintConstants& k, __m256i dd, __m256i ss) {
    __m256i x = _mm256_mullo_epi16(_mm256_shuffle_epi8(ss, k.alphaToWords), k.tintAlpha);
    __m256i w =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(x, k.one), _mm256_srli_epi16(x, 8)), 8);
    __m256i inv = _mm256_sub_epi16(k.full, w);
    __m256i keepEven = _mm256_mullo_epi16(_mm256_and_si256(dd, k.evenBytes), inv);
    __m256i takeEven =
        _mm256_mulhi_epu16(_mm256_mullo_epi16(_mm256_and_si256(ss, k.evenBytes), w), k.evenTint);
    __m256i keepOdd = _mm256_mullo_epi16(_mm256_srli_epi16(dd, 8), inv);
    __m256i takeOdd =
        _mm256_mulhi_epu16(_mm256_mullo_epi16(_mm256_srli_epi16(ss, 8), w), k.oddTint);
    __m256i red = _mm256_add_epi16(_mm256_srli_epi16(keepEven, 8), takeEven);
    __m256i blue = _mm256_srli_epi16(_mm256_add_epi16(keepEven, takeEven), 8);
    __m256i green = _mm256_srli_epi16(_mm256_add_epi16(keepOdd, takeOdd), 8);
    __m256i redBlue =
        _mm256_or_si256(_mm256_and_si256(red, k.lowHalf), _mm256_andnot_si256(k.lowHalf, blue));
    return _mm256_or_si256(_mm256_or_si256(redBlue, _mm256_slli_epi16(green, 8)), k.alpha);
}

void TintedPixels(uint32_t* d, const uint32_t* s, int n, const Tint& tint) {
    const Tables& t = GetTables();
    for (int i = 0; i < n; ++i) {
        uint32_t a = tint.alpha * (s[i] >> 24) / 255;
        if (a != 0) d[i] = BlendTinted(t, d[i], s[i], a, tint);
    }
}

// One group of eight over dd (loaded beforehand, perhaps before the previous group was
// written); false when the group needs the pixel-by-pixel blend.
__attribute__((target("avx2"), always_inline)) inline bool TintedGroup(const TintConstants& k,
                                                                       __m256i dd,
                                                                       const uint32_t* s,
                                                                       uint32_t* out) {
    __m256i ss = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    if (_mm256_testz_si256(ss, k.alpha)) return true;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(dd, k.alpha), k.alpha)) != -1)
        return false;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), TintedOverOpaque(k, dd, ss));
    return true;
}

__attribute__((target("avx2"))) void TintedRowAvx2(const TintConstants& k, uint32_t* d,
                                                   const uint32_t* s, int n, const Tint& tint) {
    // The last group overlaps the one before when n is not a multiple of eight; it is
    // worked from the destination as it was, so the overlap is written twice alike.
    __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + n - 8));
    for (int i = 0; i + 8 <= n; i += 8) {
        __m256i dd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        if (!TintedGroup(k, dd, s + i, d + i)) TintedPixels(d + i, s + i, 8, tint);
    }
    int done = n & ~7;
    if (done != n && !TintedGroup(k, last, s + n - 8, d + n - 8))
        TintedPixels(d + done, s + done, n - done, tint);
}

__attribute__((target("avx2"))) void TintedRectAvx2(const RowSpan& span, const Tint& tint) {
    TintConstants k = MakeTintConstants(tint);
    for (int y = 0; y < span.rows; ++y) {
        uint32_t* d = span.dest + std::size_t(y) * span.destStride;
        const uint32_t* s = span.source + std::size_t(y) * span.sourceStride;
        if (span.width < 8)
            TintedPixels(d, s, span.width, tint);
        else
            TintedRowAvx2(k, d, s, span.width, tint);
    }
}
#endif

}  // namespace

bool BlendTintedRows(const RowSpan& span, const Tint& tint) {
#if defined(GEMLODE_AVX2_KERNELS)
    if (KernelsInUse() == Kernels::Widest) {
        TintedRectAvx2(span, tint);
        return true;
    }
#endif
    (void)span, (void)tint;
    return false;
}

}  // namespace Varn::PixelBlend
