// The StretchBlt passes. The vertical pass never leaves 16 bits in its vector forms: with
// a first-pass value h = 256 hh + hl (hh, hl bytes) and weights w summing to at most 256,
// A = sum w hh and B = sum w hl are at most 65280, and
//   (sum w h) >> 16 = (256 A + B) >> 16 = (A + (B >> 8)) >> 8,
// where A + (B >> 8) is at most 65535. The plain loop sums in 32 bits as the definition
// does; the tests compare the two.
#include "graphics/StretchKernels.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define GEMLODE_AVX2_KERNELS 1
#endif

namespace Varn::StretchKernels {

namespace {

using PixelBlend::Kernels;

void AddPixel(uint16_t* cell, uint32_t pixel, uint32_t weight) {
    for (int k = 0; k < 4; ++k) cell[k] = uint16_t(cell[k] + (pixel >> (8 * k) & 0xFF) * weight);
}

void HorizontalRowsScalar(const uint32_t* const in[4], uint16_t* const out[4], int cells,
                          const Gather* gathers, const int* cellStart) {
    for (int cell = 0; cell < cells; ++cell) {
        uint16_t sum[4][4] = {};
        for (int g = cellStart[cell]; g < cellStart[cell + 1]; ++g)
            for (int k = 0; k < 4; ++k)
                AddPixel(sum[k], in[k][gathers[g].column], gathers[g].weight);
        for (int k = 0; k < 4; ++k) std::copy(sum[k], sum[k] + 4, out[k] + cell * 4);
    }
}

void VerticalRowScalar(const uint16_t* first, int laneStride, const RowTap* taps, std::size_t count,
                       int width, uint32_t* pixels) {
    for (int cell = 1; cell <= width; ++cell) {
        uint32_t sum[4] = {0, 0, 0, 0};
        for (std::size_t t = 0; t < count; ++t) {
            const uint16_t* from = first + std::size_t(taps[t].firstRow) * laneStride + cell * 4;
            for (int k = 0; k < 4; ++k) sum[k] += uint32_t(from[k]) * taps[t].weight;
        }
        uint32_t pixel = 0;
        for (int k = 0; k < 4; ++k) pixel |= std::min(sum[k] >> 16, 255u) << (8 * k);
        pixels[cell - 1] = pixel;
    }
}

#if defined(__SSE2__)
void HorizontalRowsSse2(const uint32_t* const in[4], uint16_t* const out[4], int cells,
                        const Gather* gathers, const int* cellStart) {
    const __m128i zero = _mm_setzero_si128();
    for (int cell = 0; cell < cells; ++cell) {
        __m128i sum01 = zero, sum23 = zero;
        for (int g = cellStart[cell]; g < cellStart[cell + 1]; ++g) {
            int column = gathers[g].column;
            __m128i w = _mm_set1_epi16(short(gathers[g].weight));
            __m128i p01 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[0][column])),
                                             _mm_cvtsi32_si128(int(in[1][column])));
            __m128i p23 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[2][column])),
                                             _mm_cvtsi32_si128(int(in[3][column])));
            sum01 = _mm_add_epi16(sum01, _mm_mullo_epi16(_mm_unpacklo_epi8(p01, zero), w));
            sum23 = _mm_add_epi16(sum23, _mm_mullo_epi16(_mm_unpacklo_epi8(p23, zero), w));
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[0] + cell * 4), sum01);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[1] + cell * 4),
                         _mm_unpackhi_epi64(sum01, sum01));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[2] + cell * 4), sum23);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out[3] + cell * 4),
                         _mm_unpackhi_epi64(sum23, sum23));
    }
}

// Four cells (sixteen channels) per step, split into high and low bytes (see the top).
void VerticalRowSse2(const uint16_t* first, int laneStride, const RowTap* taps, std::size_t count,
                     int width, uint32_t* pixels) {
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    for (int cell = 1; cell <= width; cell += 4) {
        __m128i high0 = _mm_setzero_si128(), low0 = high0, high1 = high0, low1 = high0;
        for (std::size_t t = 0; t < count; ++t) {
            const uint16_t* from = first + std::size_t(taps[t].firstRow) * laneStride + cell * 4;
            __m128i w = _mm_set1_epi16(short(taps[t].weight));
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 8));
            high0 = _mm_add_epi16(high0, _mm_mullo_epi16(_mm_srli_epi16(a, 8), w));
            low0 = _mm_add_epi16(low0, _mm_mullo_epi16(_mm_and_si128(a, lowByte), w));
            high1 = _mm_add_epi16(high1, _mm_mullo_epi16(_mm_srli_epi16(b, 8), w));
            low1 = _mm_add_epi16(low1, _mm_mullo_epi16(_mm_and_si128(b, lowByte), w));
        }
        __m128i r0 = _mm_srli_epi16(_mm_add_epi16(high0, _mm_srli_epi16(low0, 8)), 8);
        __m128i r1 = _mm_srli_epi16(_mm_add_epi16(high1, _mm_srli_epi16(low1, 8)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + cell - 1), _mm_packus_epi16(r0, r1));
    }
}
#endif

#if defined(GEMLODE_AVX2_KERNELS)
// The four rows' pixels of one column side by side, widened to 16 bits: one register.
__attribute__((target("avx2"), always_inline)) inline __m256i ColumnOfFour(
    const uint32_t* const in[4], int column) {
    __m128i p01 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[0][column])),
                                     _mm_cvtsi32_si128(int(in[1][column])));
    __m128i p23 = _mm_unpacklo_epi32(_mm_cvtsi32_si128(int(in[2][column])),
                                     _mm_cvtsi32_si128(int(in[3][column])));
    return _mm256_cvtepu8_epi16(_mm_unpacklo_epi64(p01, p23));
}

__attribute__((target("avx2"), always_inline)) inline void StoreFour(__m256i sum,
                                                                     uint16_t* const out[4],
                                                                     int cell) {
    __m128i low = _mm256_castsi256_si128(sum), high = _mm256_extracti128_si256(sum, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out[0] + cell * 4), low);
    _mm_storeh_pd(reinterpret_cast<double*>(out[1] + cell * 4), _mm_castsi128_pd(low));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out[2] + cell * 4), high);
    _mm_storeh_pd(reinterpret_cast<double*>(out[3] + cell * 4), _mm_castsi128_pd(high));
}

__attribute__((target("avx2"), always_inline)) inline __m256i GatherTap(const uint32_t* const in[4],
                                                                        const Gather& g) {
    return _mm256_mullo_epi16(ColumnOfFour(in, g.column), _mm256_set1_epi16(short(g.weight)));
}

// Every cell with the same number of gathers, known when compiling: no branch per cell.
template <int taps>
__attribute__((target("avx2"))) void HorizontalRowsAvx2Fixed(const uint32_t* const in[4],
                                                             uint16_t* const out[4], int cells,
                                                             const Gather* gathers) {
    for (int cell = 0; cell < cells; ++cell) {
        const Gather* g = gathers + cell * taps;
        __m256i sum = GatherTap(in, g[0]);
        for (int k = 1; k < taps; ++k) sum = _mm256_add_epi16(sum, GatherTap(in, g[k]));
        StoreFour(sum, out, cell);
    }
}

__attribute__((target("avx2"))) void HorizontalRowsAvx2(const uint32_t* const in[4],
                                                        uint16_t* const out[4], int cells,
                                                        const Gather* gathers,
                                                        const int* cellStart) {
    int taps = cellStart[1] - cellStart[0];
    bool even = cellStart[cells] == cells * taps;
    if (even && taps == 2) return HorizontalRowsAvx2Fixed<2>(in, out, cells, gathers);
    if (even && taps == 3) return HorizontalRowsAvx2Fixed<3>(in, out, cells, gathers);
    if (even && taps == 4) return HorizontalRowsAvx2Fixed<4>(in, out, cells, gathers);
    for (int cell = 0; cell < cells; ++cell) {
        __m256i sum = _mm256_setzero_si256();
        for (int g = cellStart[cell]; g < cellStart[cell + 1]; ++g)
            sum = _mm256_add_epi16(sum, GatherTap(in, gathers[g]));
        StoreFour(sum, out, cell);
    }
}

// A window of sixteen columns in two registers; per tap, each cell's column is picked from
// both halves and the right one kept.
__attribute__((target("avx2"))) void HorizontalRowWindowsAvx2(const WindowPlan& plan,
                                                              const uint32_t* in, uint16_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const int taps = plan.tapsPerCell;
    for (std::size_t group = 0; group < plan.bases.size(); ++group) {
        const uint32_t* window = in + plan.bases[group];
        __m256i first8 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
        __m256i next8 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 8));
        __m256i low = zero, high = zero;
        const WindowTap* tap = &plan.taps[group * taps];
        for (int k = 0; k < taps; ++k, ++tap) {
            __m256i index = _mm256_load_si256(reinterpret_cast<const __m256i*>(tap->index));
            __m256 picked =
                _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(first8, index)),
                                 _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(next8, index)),
                                 _mm256_castsi256_ps(index));
            __m256i pixels = _mm256_castps_si256(picked);
            low = _mm256_add_epi16(
                low,
                _mm256_mullo_epi16(_mm256_unpacklo_epi8(pixels, zero),
                                   _mm256_load_si256(reinterpret_cast<const __m256i*>(tap->low))));
            high = _mm256_add_epi16(
                high,
                _mm256_mullo_epi16(_mm256_unpackhi_epi8(pixels, zero),
                                   _mm256_load_si256(reinterpret_cast<const __m256i*>(tap->high))));
        }
        uint16_t* to = out + group * 32;
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to),
                            _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 16),
                            _mm256_permute2x128_si256(low, high, 0x31));
    }
}

// Eight cells per step; packing works within each 128-bit half, so the quarters are put
// back in order before the store.
__attribute__((target("avx2"))) void VerticalRowAvx2(const uint16_t* first, int laneStride,
                                                     const RowTap* taps, std::size_t count,
                                                     int width, uint32_t* pixels) {
    const __m256i lowByte = _mm256_set1_epi16(0xFF);
    for (int cell = 1; cell <= width; cell += 8) {
        __m256i high0 = _mm256_setzero_si256(), low0 = high0, high1 = high0, low1 = high0;
        for (std::size_t t = 0; t < count; ++t) {
            const uint16_t* from = first + std::size_t(taps[t].firstRow) * laneStride + cell * 4;
            __m256i w = _mm256_set1_epi16(short(taps[t].weight));
            __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
            __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 16));
            high0 = _mm256_add_epi16(high0, _mm256_mullo_epi16(_mm256_srli_epi16(a, 8), w));
            low0 = _mm256_add_epi16(low0, _mm256_mullo_epi16(_mm256_and_si256(a, lowByte), w));
            high1 = _mm256_add_epi16(high1, _mm256_mullo_epi16(_mm256_srli_epi16(b, 8), w));
            low1 = _mm256_add_epi16(low1, _mm256_mullo_epi16(_mm256_and_si256(b, lowByte), w));
        }
        __m256i r0 = _mm256_srli_epi16(_mm256_add_epi16(high0, _mm256_srli_epi16(low0, 8)), 8);
        __m256i r1 = _mm256_srli_epi16(_mm256_add_epi16(high1, _mm256_srli_epi16(low1, 8)), 8);
        __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(r0, r1), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + cell - 1), packed);
    }
}
#endif

}  // namespace

void PlanWindows(const Gather* gathers, int cells, int tapsPerCell, int sourceWidth,
                 WindowPlan& plan) {
    int groups = (cells + 7) / 8;
    plan.usable = false;
    plan.tapsPerCell = tapsPerCell;
    plan.bases.assign(groups, 0);
    plan.taps.assign(std::size_t(groups) * tapsPerCell, WindowTap{});
    if (sourceWidth < 16 || tapsPerCell < 1) return;
    for (int group = 0; group < groups; ++group) {
        int lowest = sourceWidth, highest = -1;
        for (int cell = group * 8; cell < std::min(cells, group * 8 + 8); ++cell)
            for (int k = 0; k < tapsPerCell; ++k) {
                const Gather& g = gathers[cell * tapsPerCell + k];
                if (g.weight == 0) continue;
                lowest = std::min(lowest, g.column);
                highest = std::max(highest, g.column);
            }
        int base = std::min(std::max(0, highest < 0 ? 0 : lowest), sourceWidth - 16);
        if (highest >= base + 16) return;
        plan.bases[group] = base;
        for (int k = 0; k < tapsPerCell; ++k) {
            WindowTap& tap = plan.taps[std::size_t(group) * tapsPerCell + k];
            for (int lane = 0; lane < 8; ++lane) {
                int cell = group * 8 + lane;
                Gather g = cell < cells ? gathers[cell * tapsPerCell + k] : Gather{0, base, 0};
                int index = g.weight == 0 ? 0 : g.column - base;
                tap.index[lane] = index | (index >= 8 ? int32_t(0x80000000u) : 0);
                // Unpacking bytes to words interleaves the halves of each 128-bit lane.
                static constexpr int kSlot[8] = {0, 1, 0, 1, 2, 3, 2, 3};
                uint16_t* weights = (lane & 2) ? tap.high : tap.low;
                std::fill(weights + kSlot[lane] * 4, weights + kSlot[lane] * 4 + 4,
                          uint16_t(g.weight));
            }
        }
    }
    plan.usable = true;
}

void HorizontalRowWindows(const WindowPlan& plan, const uint32_t* in, uint16_t* out) {
#if defined(GEMLODE_AVX2_KERNELS)
    HorizontalRowWindowsAvx2(plan, in, out);
#else
    (void)plan, (void)in, (void)out;
#endif
}

void HorizontalRows([[maybe_unused]] Kernels kernels, const uint32_t* const in[4],
                    uint16_t* const out[4], int cells, const Gather* gathers,
                    const int* cellStart) {
#if defined(GEMLODE_AVX2_KERNELS)
    if (kernels == Kernels::Widest) return HorizontalRowsAvx2(in, out, cells, gathers, cellStart);
#endif
#if defined(__SSE2__)
    if (kernels == Kernels::Sse2) return HorizontalRowsSse2(in, out, cells, gathers, cellStart);
#endif
    HorizontalRowsScalar(in, out, cells, gathers, cellStart);
}

void VerticalRow(Kernels kernels, const uint16_t* first, int laneStride, const RowTap* taps,
                 std::size_t count, int width, uint32_t* pixels) {
    switch (kernels) {
#if defined(GEMLODE_AVX2_KERNELS)
        case Kernels::Widest:
            return VerticalRowAvx2(first, laneStride, taps, count, width, pixels);
#endif
#if defined(__SSE2__)
        case Kernels::Sse2:
            return VerticalRowSse2(first, laneStride, taps, count, width, pixels);
#endif
        default:
            return VerticalRowScalar(first, laneStride, taps, count, width, pixels);
    }
}

}  // namespace Varn::StretchKernels
