// PixelBlend: the untinted row blend in plain C++, SSE2 and AVX2, picked once per process.
// The vector kernels take four or eight pixels at a time and sort each group:
//  - every source alpha 0: nothing to do;
//  - every source alpha 255: nA = 255 and w = 255 whatever lies beneath, so red is
//    s * 255 >> 8 (s - 1, or 0) and green and blue in place are (d + 255 * s) >> 8 (s when
//    d >= s, else s - 1): saturating byte subtractions of 0 or 1;
//  - every destination alpha 255: nA = 255 and w = a, no division left, every product fits
//    in 16 bits (a source alpha of 0 then gives w = 0 and leaves the pixel as it was);
//  - anything else: the table-driven blend, pixel by pixel.
// Red truncates each term on its own while green and blue, in place, truncate only the
// sum (d * (256 - w) + s * w) >> 8. The results are those of the plain loop, bit for bit.
// Whole rectangles go to the AVX2 kernel at once, so its constants are set up once.
#include <algorithm>
#include <atomic>
#include <initializer_list>

#include "graphics/PixelBlend.h"
#include "platform/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define GEMLODE_AVX2_KERNELS 1
#endif

namespace Varn::PixelBlend {

namespace {

std::atomic<Kernels> chosen{Kernels::Widest};

void BlendPixels(const Tables& t, uint32_t* d, const uint32_t* s, int n) {
    for (int k = 0; k < n; ++k)
        if (s[k] >> 24) d[k] = BlendPixel(t, d[k], s[k]);
}

#if defined(__SSE2__)
__m128i BlendHalfSse2(__m128i d, __m128i s) {
    const __m128i full = _mm_set1_epi16(256);
    const __m128i red = _mm_set_epi16(0, 0, 0, -1, 0, 0, 0, -1);
    __m128i w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    __m128i keep = _mm_mullo_epi16(d, _mm_sub_epi16(full, w));
    __m128i take = _mm_mullo_epi16(s, w);
    __m128i apart = _mm_add_epi16(_mm_srli_epi16(keep, 8), _mm_srli_epi16(take, 8));
    __m128i together = _mm_srli_epi16(_mm_add_epi16(keep, take), 8);
    return _mm_or_si128(_mm_and_si128(red, apart), _mm_andnot_si128(red, together));
}

// Blends one group of four source pixels over dd (loaded beforehand, perhaps saved from
// before the previous group was written) into out; false when the group needs the
// pixel-by-pixel blend. A group of transparent sources writes nothing.
bool BlendGroupSse2(__m128i dd, const uint32_t* s, uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alpha = _mm_set1_epi32(int(0xFF000000u));
    __m128i ss = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    __m128i sa = _mm_and_si128(ss, alpha);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF) return true;
    __m128i result;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(dd, alpha), alpha)) == 0xFFFF) {
        __m128i lo = BlendHalfSse2(_mm_unpacklo_epi8(dd, zero), _mm_unpacklo_epi8(ss, zero));
        __m128i hi = BlendHalfSse2(_mm_unpackhi_epi8(dd, zero), _mm_unpackhi_epi8(ss, zero));
        result = _mm_or_si128(_mm_packus_epi16(lo, hi), alpha);
    } else if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, alpha)) == 0xFFFF) {
        __m128i notBelow = _mm_cmpeq_epi8(_mm_max_epu8(dd, ss), dd);
        __m128i step = _mm_or_si128(_mm_set1_epi32(0x00000001),
                                    _mm_andnot_si128(notBelow, _mm_set1_epi32(0x00010100)));
        result = _mm_or_si128(_mm_subs_epu8(ss, step), alpha);
    } else {
        return false;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), result);
    return true;
}

void BlendRowSse2(uint32_t* d, const uint32_t* s, int n) {
    if (n < 4) return BlendPixels(GetTables(), d, s, n);
    // The last group overlaps the one before when n is not a multiple of four: it is
    // worked from the destination as it was, so the overlap is written twice alike.
    __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + n - 4));
    for (int k = 0; k + 4 <= n; k += 4) {
        __m128i dd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
        if (!BlendGroupSse2(dd, s + k, d + k)) BlendPixels(GetTables(), d + k, s + k, 4);
    }
    int done = n & ~3;
    if (done == n) return;
    uint32_t* tail = d + n - 4;
    if (!BlendGroupSse2(last, s + n - 4, tail))
        BlendPixels(GetTables(), d + done, s + done, n - done);
}
#endif

#if defined(GEMLODE_AVX2_KERNELS)
// The constants of the AVX2 kernel, made once per rectangle. They are hidden from the
// optimiser (an empty asm that might change them), which otherwise rebuilds them from
// immediates in every group.
struct Avx2Constants {
    __m256i alpha, evenBytes, lowHalf, full, alphaToWords, redStep, greenBlueStep;
};

__attribute__((target("avx2"), always_inline)) inline void Opaque(__m256i& value) {
    __asm__("" : "+x"(value));
}

__attribute__((target("avx2"))) Avx2Constants MakeAvx2Constants() {
    Avx2Constants k{_mm256_set1_epi32(int(0xFF000000u)),
                    _mm256_set1_epi32(0x00FF00FF),
                    _mm256_set1_epi32(0x0000FFFF),
                    _mm256_set1_epi16(256),
                    _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1, 3,
                                     -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1),
                    _mm256_set1_epi32(0x00000001),
                    _mm256_set1_epi32(0x00010100)};
    return k;
}

// Over opaque destinations without a shuffle on the packed pixels: red and blue are worked
// in the even bytes, green (and a discarded alpha) in the odd ones, each in 16-bit lanes;
// only the weights are spread out of the alpha bytes.
__attribute__((target("avx2"), always_inline)) inline __m256i BlendOverOpaqueAvx2(
    const Avx2Constants& k, __m256i dd, __m256i ss) {
    __m256i w = _mm256_shuffle_epi8(ss, k.alphaToWords);
    __m256i inv = _mm256_sub_epi16(k.full, w);
    __m256i keepEven = _mm256_mullo_epi16(_mm256_and_si256(dd, k.evenBytes), inv);
    __m256i takeEven = _mm256_mullo_epi16(_mm256_and_si256(ss, k.evenBytes), w);
    __m256i keepOdd = _mm256_mullo_epi16(_mm256_srli_epi16(dd, 8), inv);
    __m256i takeOdd = _mm256_mullo_epi16(_mm256_srli_epi16(ss, 8), w);
    __m256i red = _mm256_add_epi16(_mm256_srli_epi16(keepEven, 8), _mm256_srli_epi16(takeEven, 8));
    __m256i blue = _mm256_srli_epi16(_mm256_add_epi16(keepEven, takeEven), 8);
    __m256i green = _mm256_srli_epi16(_mm256_add_epi16(keepOdd, takeOdd), 8);
    __m256i redBlue =
        _mm256_or_si256(_mm256_and_si256(red, k.lowHalf), _mm256_andnot_si256(k.lowHalf, blue));
    return _mm256_or_si256(_mm256_or_si256(redBlue, _mm256_slli_epi16(green, 8)), k.alpha);
}

__attribute__((target("avx2"), always_inline)) inline bool BlendGroupAvx2(const Avx2Constants& k,
                                                                          __m256i dd,
                                                                          const uint32_t* s,
                                                                          uint32_t* out) {
    __m256i ss = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    if (_mm256_testz_si256(ss, k.alpha)) return true;
    __m256i result;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(ss, k.alpha), k.alpha)) == -1) {
        __m256i notBelow = _mm256_cmpeq_epi8(_mm256_max_epu8(dd, ss), dd);
        __m256i step = _mm256_or_si256(k.redStep, _mm256_andnot_si256(notBelow, k.greenBlueStep));
        result = _mm256_or_si256(_mm256_subs_epu8(ss, step), k.alpha);
    } else if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(dd, k.alpha), k.alpha)) ==
               -1) {
        result = BlendOverOpaqueAvx2(k, dd, ss);
    } else {
        return false;
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), result);
    return true;
}

__attribute__((target("avx2"), always_inline)) inline void BlendRowAvx2(const Avx2Constants& k,
                                                                        uint32_t* d,
                                                                        const uint32_t* s, int n) {
    // As in the SSE2 row: an overlapping last group worked from the saved destination.
    __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + n - 8));
    for (int i = 0; i + 8 <= n; i += 8) {
        __m256i dd = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + i));
        if (!BlendGroupAvx2(k, dd, s + i, d + i)) BlendPixels(GetTables(), d + i, s + i, 8);
    }
    int done = n & ~7;
    if (done == n) return;
    if (!BlendGroupAvx2(k, last, s + n - 8, d + n - 8))
        BlendPixels(GetTables(), d + done, s + done, n - done);
}

__attribute__((target("avx2"))) void BlendRectAvx2(const RowSpan& span) {
    Avx2Constants k = MakeAvx2Constants();
    for (__m256i* value : {&k.alpha, &k.evenBytes, &k.lowHalf, &k.full, &k.alphaToWords, &k.redStep,
                           &k.greenBlueStep})
        Opaque(*value);
    for (int y = 0; y < span.rows; ++y) {
        uint32_t* d = span.dest + std::size_t(y) * span.destStride;
        const uint32_t* s = span.source + std::size_t(y) * span.sourceStride;
        if (span.width < 8)
            BlendRowSse2(d, s, span.width);
        else
            BlendRowAvx2(k, d, s, span.width);
    }
}
#endif

void BlendRowScalar(uint32_t* d, const uint32_t* s, int n) {
    BlendPixels(GetTables(), d, s, n);
}

}  // namespace

void UseKernels(Kernels kernels) {
    chosen.store(kernels, std::memory_order_relaxed);
}

Kernels KernelsInUse() {
    Kernels kernels = chosen.load(std::memory_order_relaxed);
#if !defined(__SSE2__)
    kernels = Kernels::Scalar;
#endif
    if (kernels == Kernels::Widest && !HasAvx2()) kernels = Kernels::Sse2;
    return kernels;
}

bool HasAvx2() {
#if defined(GEMLODE_AVX2_KERNELS)
    return CpuHasAvx2();
#else
    return false;
#endif
}

void BlendRows(const RowSpan& span) {
    [[maybe_unused]] Kernels kernels = KernelsInUse();
#if defined(GEMLODE_AVX2_KERNELS)
    if (kernels == Kernels::Widest) return BlendRectAvx2(span);
#endif
    void (*row)(uint32_t*, const uint32_t*, int) = BlendRowScalar;
#if defined(__SSE2__)
    if (kernels == Kernels::Sse2) row = BlendRowSse2;
#endif
    for (int y = 0; y < span.rows; ++y)
        row(span.dest + std::size_t(y) * span.destStride,
            span.source + std::size_t(y) * span.sourceStride, span.width);
}

void BlendRow(uint32_t* d, const uint32_t* s, int n) {
    BlendRows(RowSpan{d, 0, s, 0, n, 1});
}

}  // namespace Varn::PixelBlend
