// Row scaling: every kernel gives the bytes of the plain reference loop, for each scale
// and for rows that do not fill a whole vector group.
#include "platform/RowScale.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace Varn {
namespace {

TEST(RowScale, EveryKernelEqualsThePlainLoop) {
    std::mt19937 random(25);
    for (int count : {640, 29, 13, 3}) {
        std::vector<uint32_t> row(count);
        for (uint32_t& pixel : row) pixel = random();
        for (int scale = 1; scale <= 8; ++scale) {
            std::vector<uint32_t> expected(size_t(count) * scale);
            ScaleRowPlain32(expected.data(), row.data(), count, scale);
            for (RowScaleKernel kernel :
                 {RowScaleKernel::Widest, RowScaleKernel::Avx2, RowScaleKernel::Sse2}) {
                std::vector<uint32_t> scaled(expected.size() + 1, 0xDEADBEEF);
                ScaleRow32(scaled.data(), row.data(), count, scale, kernel);
                EXPECT_EQ(scaled.back(), 0xDEADBEEF) << "wrote past the row";
                scaled.pop_back();
                EXPECT_EQ(scaled, expected) << count << " pixels at scale " << scale;
            }
        }
    }
}

}  // namespace
}  // namespace Varn
