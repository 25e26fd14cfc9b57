// The fill: every kernel gives the bytes of a reference that weighs each picture pixel by
// the part of the output pixel it covers, for the full-screen sizes and the identity.
#include "platform/FillScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace Varn {
namespace {

uint32_t Blend(uint32_t a, uint32_t b, int share) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= (((a >> shift & 0xFF) * share + (b >> shift & 0xFF) * (64 - share) + 32) >> 6)
               << shift;
    return out;
}

// Output pixel x of a row: the first picture pixel under it, weighed by its share of
// [x, x + 1) in 64ths, and the next for the rest (no more than two at these sizes).
uint32_t ReferencePixel(const std::vector<uint32_t>& row, int64_t o, int64_t x) {
    const int64_t p = int64_t(row.size()), i = x * p / o;
    const int64_t overlap = std::min((i + 1) * o, (x + 1) * p) - x * p;
    return Blend(row[size_t(i)], row[size_t(std::min(i + 1, p - 1))],
                 int((overlap * 64 + p / 2) / p));
}

TEST(FillScale, EveryKernelWeighsPicturePixelsByCoverage) {
    std::mt19937 random(7);
    std::vector<uint32_t> row(640);
    for (uint32_t& pixel : row) pixel = random();
    for (int width : {1067, 1024, 1200, 2880, 640, 643}) {
        FillRowScaler scaler(640, width);
        std::vector<uint32_t> expected(static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) expected[size_t(x)] = ReferencePixel(row, width, x);
        for (FillKernel kernel : {FillKernel::Widest, FillKernel::Avx2, FillKernel::Plain}) {
            std::vector<uint32_t> scaled(size_t(width) + 1, 0xDEADBEEF);
            scaler.Scale(scaled.data(), row.data(), 0, width, kernel);
            EXPECT_EQ(scaled.back(), 0xDEADBEEF) << "wrote past the row";
            scaled.pop_back();
            EXPECT_EQ(scaled, expected) << width << " wide, kernel " << int(kernel);
        }
    }
}

TEST(FillScale, EveryKernelBlendsBoundaryRowsByTheirWeight) {
    std::mt19937 random(8);
    std::vector<uint32_t> upper(1067), lower(1067), blended(1067);
    for (size_t x = 0; x < upper.size(); ++x) upper[x] = random(), lower[x] = random();
    for (int weight : {0, 1, 21, 43, 63, 64})
        for (FillKernel kernel : {FillKernel::Widest, FillKernel::Avx2, FillKernel::Plain}) {
            BlendFillRows(blended.data(), upper.data(), lower.data(), 1067, weight, kernel);
            for (size_t x = 0; x < upper.size(); ++x)
                ASSERT_EQ(blended[x], Blend(upper[x], lower[x], weight)) << weight << " at " << x;
        }
}

}  // namespace
}  // namespace Varn
