// The fill's kernels. Across: eight output pixels at a time, their left and right picture
// pixels gathered from two overlapping loads by one permutation each, then byte pairs
// (left, right) multiplied by their weight pairs (w, 64 - w) and summed in one step. Down:
// two scaled rows blended by the same step with one weight pair.
#include "platform/FillScale.h"

#include <algorithm>

#include "platform/CpuFeatures.h"

#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define GEMLODE_AVX2_FILL 1
#endif

namespace Varn {

namespace {

uint32_t BlendPixel(uint32_t a, uint32_t b, int weight) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t mixed =
            ((a >> shift & 0xFF) * weight + (b >> shift & 0xFF) * (64 - weight) + 32) >> 6;
        out |= mixed << shift;
    }
    return out;
}

// The picture pixels an output pixel shows: its first and, when blended, the next.
int LastShown(const FillSpan& span) {
    return span.first + (span.weight < kFillWeightOne ? 1 : 0);
}

#if defined(GEMLODE_AVX2_FILL)
// Vectors pass by reference: by value they would change the calling convention.
__attribute__((target("avx2"))) inline void BlendPairs(void* dest, const __m256i& a,
                                                       const __m256i& b, const __m256i& weightsLow,
                                                       const __m256i& weightsHigh) {
    const __m256i half = _mm256_set1_epi16(32);
    __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), weightsLow);
    __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), weightsHigh);
    low = _mm256_srli_epi16(_mm256_add_epi16(low, half), 6);
    high = _mm256_srli_epi16(_mm256_add_epi16(high, half), 6);
    _mm256_storeu_si256(static_cast<__m256i*>(dest), _mm256_packus_epi16(low, high));
}

__attribute__((target("avx2"))) inline __m256i Load(const void* at) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(at));
}

template <class Group>
__attribute__((target("avx2"))) void ScaleGroupAvx2(uint32_t* dest, const uint32_t* source,
                                                    const Group& group) {
    __m256i lanes = _mm256_load_si256(reinterpret_cast<const __m256i*>(group.lanes));
    const uint32_t* next = source + group.base + 1;
    __m256i loaded =
        group.rightCount == 8
            ? Load(next)
            : _mm256_maskload_epi32(reinterpret_cast<const int*>(next),
                                    _mm256_cmpgt_epi32(_mm256_set1_epi32(group.rightCount),
                                                       _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
    __m256i left = _mm256_permutevar8x32_epi32(Load(source + group.base), lanes);
    __m256i right = _mm256_permutevar8x32_epi32(loaded, lanes);
    BlendPairs(dest, left, right, Load(group.weights), Load(group.weights + 32));
}

__attribute__((target("avx2"))) int BlendRowsAvx2(uint32_t* dest, const uint32_t* upper,
                                                  const uint32_t* lower, int count, int weight) {
    __m256i pair = _mm256_set1_epi16(int16_t((kFillWeightOne - weight) << 8 | weight));
    int done = 0;
    for (; done + 8 <= count; done += 8) {
        BlendPairs(dest + done, Load(upper + done), Load(lower + done), pair, pair);
    }
    return done;
}

#define GEMLODE_AVX512_FILL __attribute__((target("avx512f,avx512bw")))

GEMLODE_AVX512_FILL inline __m512i BlendPairs512(const __m512i& a, const __m512i& b,
                                                 const __m512i& weightsLow,
                                                 const __m512i& weightsHigh) {
    const __m512i half = _mm512_set1_epi16(32);
    __m512i low = _mm512_maddubs_epi16(_mm512_unpacklo_epi8(a, b), weightsLow);
    __m512i high = _mm512_maddubs_epi16(_mm512_unpackhi_epi8(a, b), weightsHigh);
    low = _mm512_srli_epi16(_mm512_add_epi16(low, half), 6);
    high = _mm512_srli_epi16(_mm512_add_epi16(high, half), 6);
    return _mm512_packus_epi16(low, high);
}

template <class Group>
GEMLODE_AVX512_FILL void ScaleGroupAvx512(uint32_t* dest, const uint32_t* source,
                                          const Group& group) {
    __m512i lanes = _mm512_load_si512(group.lanes);
    __m512i left =
        _mm512_maskz_permutexvar_epi32(0xFFFF, lanes, _mm512_loadu_si512(source + group.base));
    const __mmask16 inRow = __mmask16((1u << group.rightCount) - 1);
    __m512i right = _mm512_maskz_permutexvar_epi32(
        0xFFFF, lanes, _mm512_maskz_loadu_epi32(inRow, source + group.base + 1));
    _mm512_storeu_si512(dest, BlendPairs512(left, right, _mm512_load_si512(group.weights),
                                            _mm512_load_si512(group.weights + 64)));
}

GEMLODE_AVX512_FILL int BlendRowsAvx512(uint32_t* dest, const uint32_t* upper,
                                        const uint32_t* lower, int count, int weight) {
    __m512i pair = _mm512_set1_epi16(int16_t((kFillWeightOne - weight) << 8 | weight));
    int done = 0;
    for (; done + 16 <= count; done += 16)
        _mm512_storeu_si512(dest + done,
                            BlendPairs512(_mm512_loadu_si512(upper + done),
                                          _mm512_loadu_si512(lower + done), pair, pair));
    if (done == count) return done;
    // The rest, loaded and stored masked.
    const __mmask16 rest = __mmask16((1u << (count - done)) - 1);
    _mm512_mask_storeu_epi32(
        dest + done, rest,
        BlendPairs512(_mm512_maskz_loadu_epi32(rest, upper + done),
                      _mm512_maskz_loadu_epi32(rest, lower + done), pair, pair));
    return count;
}
#endif

}  // namespace

std::vector<FillSpan> FillSpans(int pictureCount, int outputCount) {
    std::vector<FillSpan> spans;
    if (pictureCount <= 0 || outputCount < pictureCount) return spans;
    spans.resize(size_t(outputCount));
    // Output pixel x covers [x P, (x + 1) P) and picture pixel i covers [i O, (i + 1) O).
    const int64_t p = pictureCount;
    const int64_t o = outputCount;
    for (int64_t x = 0; x < o; ++x) {
        int64_t first = x * p / o;
        int64_t covered = std::min((first + 1) * o, (x + 1) * p) - x * p;
        spans[size_t(x)] = FillSpan{int(first), int((covered * kFillWeightOne + p / 2) / p)};
    }
    return spans;
}

OutputRange OutputPixelsOf(const std::vector<FillSpan>& spans, int first, int end) {
    auto from = std::partition_point(spans.begin(), spans.end(),
                                     [&](const FillSpan& s) { return LastShown(s) < first; });
    auto to =
        std::partition_point(from, spans.end(), [&](const FillSpan& s) { return s.first < end; });
    return OutputRange{int(from - spans.begin()), int(to - spans.begin())};
}

template <int Lanes>
std::vector<FillRowScaler::Group<Lanes>> FillRowScaler::MakeGroups(
    const std::vector<FillSpan>& spans, int pictureWidth) {
    const int count = int(spans.size());
    std::vector<Group<Lanes>> made(count < Lanes ? 0 : size_t((count + Lanes - 1) / Lanes));
    for (size_t g = 0; g < made.size(); ++g) {
        Group<Lanes>& group = made[g];
        group.start = std::min(int(g) * Lanes, count - Lanes);
        const FillSpan* some = &spans[size_t(group.start)];
        // The left load stays in the row; the last group's starts early enough for that.
        group.base = std::min(some[0].first, pictureWidth - Lanes);
        group.rightCount = std::min(Lanes, pictureWidth - 1 - group.base);
        for (int e = 0; e < Lanes; ++e) {
            group.lanes[e] = some[e].first - group.base;
            // Byte pairs as the kernel's unpacking orders them: in each 16-byte lane of
            // four pixels, the first two go to the first vector and the last two to the
            // second.
            int slot = (e % 4 / 2) * 4 * Lanes + (e / 4) * 16 + (e % 2) * 8;
            for (int c = 0; c < 4; ++c) {
                group.weights[slot + 2 * c] = int8_t(some[e].weight);
                group.weights[slot + 2 * c + 1] = int8_t(kFillWeightOne - some[e].weight);
            }
        }
        // Every lane within the loads' reach.
        if (group.base < 0 || group.lanes[Lanes - 1] > Lanes - 1) group.base = -1;
    }
    return made;
}

FillRowScaler::FillRowScaler(int pictureCount, int outputCount)
    : pictureWidth(pictureCount),
      spans(FillSpans(pictureCount, outputCount)),
      groups(MakeGroups<8>(spans, pictureCount)),
      wideGroups(MakeGroups<16>(spans, pictureCount)) {}

void FillRowScaler::ScalePlain(uint32_t* dest, const uint32_t* source, int from, int to) const {
    for (int x = from; x < to; ++x) {
        const FillSpan& span = spans[size_t(x)];
        int next = std::min(span.first + 1, pictureWidth - 1);
        dest[x] = BlendPixel(source[span.first], source[next], span.weight);
    }
}

// Runs the group kernel over the groups of `Lanes` pixels that [from, to) touches, the
// plain loop where a group has no kernel table.
template <int Lanes, class Groups, class Kernel>
void FillRowScaler::ScaleGroups(uint32_t* dest, const uint32_t* source, int from, int to,
                                const Groups& table, Kernel kernel) const {
    for (int g = from / Lanes; g * Lanes < to; ++g) {
        if (size_t(g) < table.size() && table[size_t(g)].base >= 0)
            kernel(dest + table[size_t(g)].start, source, table[size_t(g)]);
        else
            ScalePlain(dest, source, g * Lanes, std::min(g * Lanes + Lanes, OutputWidth()));
    }
}

void FillRowScaler::Scale(uint32_t* dest, const uint32_t* source, int from, int to,
                          FillKernel kernel) const {
    from = std::max(from, 0);
    to = std::min(to, OutputWidth());
    if (from >= to) return;
#if defined(GEMLODE_AVX2_FILL)
    if (kernel == FillKernel::Widest && CpuHasAvx512Bw())
        return ScaleGroups<16>(dest, source, from, to, wideGroups,
                               [](uint32_t* d, const uint32_t* s, const Group<16>& group) {
                                   ScaleGroupAvx512(d, s, group);
                               });
    if (kernel != FillKernel::Plain && CpuHasAvx2())
        return ScaleGroups<8>(dest, source, from, to, groups,
                              [](uint32_t* d, const uint32_t* s, const Group<8>& group) {
                                  ScaleGroupAvx2(d, s, group);
                              });
#else
    (void)kernel;
#endif
    ScalePlain(dest, source, from, to);
}

void BlendFillRows(uint32_t* dest, const uint32_t* upper, const uint32_t* lower, int count,
                   int weight, FillKernel kernel) {
    weight = std::clamp(weight, 0, kFillWeightOne);
    int done = 0;
#if defined(GEMLODE_AVX2_FILL)
    if (kernel == FillKernel::Widest && CpuHasAvx512Bw())
        done = BlendRowsAvx512(dest, upper, lower, count, weight);
    else if (kernel != FillKernel::Plain && CpuHasAvx2())
        done = BlendRowsAvx2(dest, upper, lower, count, weight);
#else
    (void)kernel;
#endif
    for (int x = done; x < count; ++x) dest[x] = BlendPixel(upper[x], lower[x], weight);
}

PictureFill::PictureFill(int pictureWidth, int pictureHeight, int shownWidth, int shownHeight)
    : across(pictureWidth, shownWidth),
      lastRow(pictureHeight - 1),
      down(FillSpans(pictureHeight, shownHeight)) {
    for (std::vector<uint32_t>& row : spare) row.resize(size_t(across.OutputWidth()));
}

}  // namespace Varn
