// Row scaling. The SSE2 kernel spreads four pixels by shuffles (scales 2 to 4) or
// broadcasts each pixel (5 to 8); the AVX2 and AVX-512 kernels spread eight or sixteen
// pixels into `scale` vectors by one permutation each, with the index vectors made once
// per row. Pixels left over after the last whole group go through the plain loop.
#include "platform/RowScale.h"

#include <cstring>
#include <type_traits>

#include "platform/CpuFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define GEMLODE_AVX2_ROW_SCALE 1
#endif

namespace Varn {

namespace {

template <class Pixel>
void ScalePlain(Pixel* dest, const Pixel* source, int count, int scale) {
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < scale; ++k) *dest++ = source[i];
}

#if defined(__SSE2__)
inline void Store(uint32_t* at, __m128i value) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), value);
}

// Four pixels at a time; returns how many pixels were done.
int ScaleSse2(uint32_t* dest, const uint32_t* source, int count, int scale) {
    int done = 0;
    for (; done + 4 <= count; done += 4, dest += 4 * scale) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + done));
        if (scale == 2) {
            Store(dest, _mm_unpacklo_epi32(v, v));
            Store(dest + 4, _mm_unpackhi_epi32(v, v));
        } else if (scale == 3) {
            Store(dest, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
            Store(dest + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
            Store(dest + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
        } else if (scale == 4) {
            Store(dest, _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 0, 0, 0)));
            Store(dest + 4, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 1, 1, 1)));
            Store(dest + 8, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 2, 2)));
            Store(dest + 12, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 3)));
        } else {
            // Five to eight copies: two stores per pixel, the second overlapping the first.
            for (int k = 0; k < 4; ++k) {
                __m128i one = _mm_set1_epi32(int(source[done + k]));
                Store(dest + k * scale, one);
                Store(dest + k * scale + scale - 4, one);
            }
        }
    }
    return done;
}
#else
int ScaleSse2(uint32_t*, const uint32_t*, int, int) {
    return 0;
}
#endif

#if defined(GEMLODE_AVX2_ROW_SCALE)
// Eight pixels at a time; vector j of a group takes pixel (8 j + e) / Scale in lane e. The
// scale is a template argument so that the index vectors stay in registers.
template <int Scale>
__attribute__((target("avx2"))) int ScaleAvx2(uint32_t* dest, const uint32_t* source, int count) {
    __m256i spread[Scale];
    for (int j = 0; j < Scale; ++j) {
        alignas(32) int lanes[8];
        for (int e = 0; e < 8; ++e) lanes[e] = (8 * j + e) / Scale;
        spread[j] = _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes));
    }
    int done = 0;
    for (; done + 8 <= count; done += 8, dest += 8 * Scale) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + done));
        for (int j = 0; j < Scale; ++j)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + 8 * j),
                                _mm256_permutevar8x32_epi32(v, spread[j]));
    }
    return done;
}

// Sixteen pixels at a time, as ScaleAvx2: a 64-byte store is a whole cache line, which
// is what lets the kernel keep up with a copy on processors whose copy uses such stores.
// (The zero-masked permutation is the same instruction as the plain one, without the
// undefined pass-through operand that GCC 12 warns about.)
template <int Scale>
__attribute__((target("avx512f"))) int ScaleAvx512(uint32_t* dest, const uint32_t* source,
                                                   int count) {
    __m512i spread[Scale];
    for (int j = 0; j < Scale; ++j) {
        alignas(64) int lanes[16];
        for (int e = 0; e < 16; ++e) lanes[e] = (16 * j + e) / Scale;
        spread[j] = _mm512_load_si512(lanes);
    }
    int done = 0;
    for (; done + 16 <= count; done += 16, dest += 16 * Scale) {
        __m512i v = _mm512_loadu_si512(source + done);
        for (int j = 0; j < Scale; ++j)
            _mm512_storeu_si512(dest + 16 * j,
                                _mm512_maskz_permutexvar_epi32(0xFFFF, spread[j], v));
    }
    return done;
}

// Calls `run` with the scale as a compile-time constant (std::integral_constant).
template <class Run>
int ForScale(int scale, Run run) {
    switch (scale) {
        case 2:
            return run(std::integral_constant<int, 2>{});
        case 3:
            return run(std::integral_constant<int, 3>{});
        case 4:
            return run(std::integral_constant<int, 4>{});
        case 5:
            return run(std::integral_constant<int, 5>{});
        case 6:
            return run(std::integral_constant<int, 6>{});
        case 7:
            return run(std::integral_constant<int, 7>{});
        case 8:
            return run(std::integral_constant<int, 8>{});
        default:
            return 0;
    }
}

int ScaleAvx2(uint32_t* dest, const uint32_t* source, int count, int scale) {
    return ForScale(scale, [&](auto fixed) { return ScaleAvx2<fixed()>(dest, source, count); });
}

int ScaleAvx512(uint32_t* dest, const uint32_t* source, int count, int scale) {
    return ForScale(scale, [&](auto fixed) { return ScaleAvx512<fixed()>(dest, source, count); });
}
#else
int ScaleAvx2(uint32_t*, const uint32_t*, int, int) {
    return 0;
}

int ScaleAvx512(uint32_t*, const uint32_t*, int, int) {
    return 0;
}
#endif

}  // namespace

void ScaleRowPlain32(uint32_t* dest, const uint32_t* source, int count, int scale) {
    ScalePlain(dest, source, count, scale);
}

void ScaleRowPlain16(uint16_t* dest, const uint16_t* source, int count, int scale) {
    ScalePlain(dest, source, count, scale);
}

void ScaleRow32(uint32_t* dest, const uint32_t* source, int count, int scale,
                RowScaleKernel kernel) {
    if (scale < 1 || scale > 8 || count <= 0) return;
    if (scale == 1) {
        std::memcpy(dest, source, size_t(count) * 4);
        return;
    }
    int done = 0;
    if (kernel == RowScaleKernel::Widest && CpuHasAvx512())
        done = ScaleAvx512(dest, source, count, scale);
    else if ((kernel == RowScaleKernel::Widest || kernel == RowScaleKernel::Avx2) && CpuHasAvx2())
        done = ScaleAvx2(dest, source, count, scale);
    else if (kernel != RowScaleKernel::Plain)
        done = ScaleSse2(dest, source, count, scale);
    ScalePlain(dest + size_t(done) * scale, source + done, count - done, scale);
}

void ScaleRow16(uint16_t* dest, const uint16_t* source, int count, int scale) {
    if (scale < 1 || scale > 8 || count <= 0) return;
    ScalePlain(dest, source, count, scale);
}

}  // namespace Varn
