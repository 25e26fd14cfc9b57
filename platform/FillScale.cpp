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
    __m256i left = _mm256_permutevar8x32_epi32(Load(source + group.base), lanes);
    __m256i right = _mm256_permutevar8x32_epi32(Load(source + group.base + 1), lanes);
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
#endif

bool VectorKernels(FillKernel kernel) {
#if defined(GEMLODE_AVX2_FILL)
    return kernel == FillKernel::Widest && CpuHasAvx2();
#else
    (void)kernel;
    return false;
#endif
}

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

FillRowScaler::FillRowScaler(int pictureCount, int outputCount)
    : pictureWidth(pictureCount), spans(FillSpans(pictureCount, outputCount)) {
    groups.resize(spans.size() / 8);
    for (size_t g = 0; g < groups.size(); ++g) {
        Group& group = groups[g];
        const FillSpan* eight = &spans[g * 8];
        group.base = eight[0].first;
        for (int e = 0; e < 8; ++e) {
            group.lanes[e] = eight[e].first - group.base;
            // Byte pairs as the kernel's unpacking orders them: pixels 0, 1, 4, 5 in the
            // first vector, 2, 3, 6, 7 in the second.
            int slot = (e & 4) * 4 + (e & 1) * 8 + (e & 2) * 16;
            for (int c = 0; c < 4; ++c) {
                group.weights[slot + 2 * c] = int8_t(eight[e].weight);
                group.weights[slot + 2 * c + 1] = int8_t(kFillWeightOne - eight[e].weight);
            }
        }
        // Both loads must stay in the row, and every lane within the first load's reach.
        if (group.base + 9 > pictureWidth || group.lanes[7] > 7) group.base = -1;
    }
}

void FillRowScaler::ScalePlain(uint32_t* dest, const uint32_t* source, int from, int to) const {
    for (int x = from; x < to; ++x) {
        const FillSpan& span = spans[size_t(x)];
        int next = std::min(span.first + 1, pictureWidth - 1);
        dest[x] = BlendPixel(source[span.first], source[next], span.weight);
    }
}

void FillRowScaler::Scale(uint32_t* dest, const uint32_t* source, int from, int to,
                          FillKernel kernel) const {
    from = std::max(from, 0);
    to = std::min(to, OutputWidth());
    if (from >= to) return;
    if (!VectorKernels(kernel)) return ScalePlain(dest, source, from, to);
#if defined(GEMLODE_AVX2_FILL)
    for (int g = from / 8; g * 8 < to; ++g) {
        if (size_t(g) < groups.size() && groups[size_t(g)].base >= 0)
            ScaleGroupAvx2(dest + g * 8, source, groups[size_t(g)]);
        else
            ScalePlain(dest, source, g * 8, std::min(g * 8 + 8, OutputWidth()));
    }
#endif
}

void BlendFillRows(uint32_t* dest, const uint32_t* upper, const uint32_t* lower, int count,
                   int weight, FillKernel kernel) {
    weight = std::clamp(weight, 0, kFillWeightOne);
    int done = 0;
#if defined(GEMLODE_AVX2_FILL)
    if (VectorKernels(kernel)) done = BlendRowsAvx2(dest, upper, lower, count, weight);
#endif
    for (int x = done; x < count; ++x) dest[x] = BlendPixel(upper[x], lower[x], weight);
}

PictureFill::PictureFill(int pictureWidth, int pictureHeight, int shownWidth, int shownHeight)
    : across(pictureWidth, shownWidth),
      lastRow(pictureHeight - 1),
      down(FillSpans(pictureHeight, shownHeight)) {
    for (ScaledRow& row : scaled) row.pixels.resize(size_t(across.OutputWidth()));
}

}  // namespace Varn
