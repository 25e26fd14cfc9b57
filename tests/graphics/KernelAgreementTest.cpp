// The vector kernels (AVX2 where the CPU has it, SSE2) against the plain C++ loops: the same
// random pictures drawn both ways give the same bytes. The plain loops themselves are
// checked against the definition in BlitTest and StretchReferenceTest.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {
namespace {

using PixelBlend::Kernels;

constexpr int kDestWidth = 90, kDestHeight = 20;

// Runs of transparent, opaque and partial pixels; an opaque picture when asked (the
// destinations where the vector kernels take their fast paths).
std::vector<uint32_t> RandomPicture(std::mt19937& random, int count, bool opaque) {
    std::vector<uint32_t> pixels(count);
    uint32_t alphaClass = 1;
    for (uint32_t& p : pixels) {
        if (random() % 6 == 0) alphaClass = opaque ? 1 : random() % 3;
        uint32_t alpha = alphaClass == 0 ? 0 : alphaClass == 1 ? 255 : 1 + random() % 254;
        p = (random() & 0xFFFFFF) | alpha << 24;
    }
    return pixels;
}

using Draw = std::function<void(MemoryImage& dest, MemoryImage& source)>;

std::vector<uint32_t> DrawnWith(Kernels kernels, const std::vector<uint32_t>& dest,
                                MemoryImage& source, const Draw& draw) {
    PixelBlend::UseKernels(kernels);
    MemoryImage image(nullptr);
    image.SetBits(dest.data(), kDestWidth, kDestHeight);
    draw(image, source);
    PixelBlend::UseKernels(Kernels::Widest);
    const uint32_t* bits = image.GetBits();
    return std::vector<uint32_t>(bits, bits + dest.size());
}

class KernelAgreement : public ::testing::TestWithParam<Kernels> {
protected:
    // Draws 60 random sources onto random destinations with the kernels under test and
    // with the plain loops.
    void ExpectAgreement(const std::function<Draw(std::mt19937&, int w, int h)>& makeDraw) {
        std::mt19937 random(99);
        for (int round = 0; round < 60; ++round) {
            int w = 1 + random() % 70, h = 1 + random() % 12;
            MemoryImage source(nullptr);
            std::vector<uint32_t> bits = RandomPicture(random, w * h, false);
            source.SetBits(bits.data(), w, h);
            std::vector<uint32_t> dest =
                RandomPicture(random, kDestWidth * kDestHeight, round % 3 != 0);
            Draw draw = makeDraw(random, w, h);
            ASSERT_EQ(DrawnWith(GetParam(), dest, source, draw),
                      DrawnWith(Kernels::Scalar, dest, source, draw))
                << "round " << round;
        }
    }
};

TEST_P(KernelAgreement, BltGivesTheSameBytes) {
    ExpectAgreement([](std::mt19937& random, int w, int h) -> Draw {
        int x = int(random() % 30) - 5, y = int(random() % 12) - 3;
        Color tint = random() % 2 ? Color::White : Color(200, 100, 50, int(random() % 256));
        return [=](MemoryImage& dest, MemoryImage& source) {
            dest.Blt(&source, x, y, Rect(0, 0, w, h), tint, DrawMode::Normal);
        };
    });
}

TEST_P(KernelAgreement, StretchBltGivesTheSameBytes) {
    ExpectAgreement([](std::mt19937& random, int w, int h) -> Draw {
        Rect to(int(random() % 20) - 4, int(random() % 8) - 2, 1 + random() % 80,
                1 + random() % 20);
        FRect from{random() % 100 / 50.0, random() % 100 / 70.0, w * (0.3 + random() % 7 / 10.0),
                   h * (0.3 + random() % 7 / 10.0)};
        return [=](MemoryImage& dest, MemoryImage& source) {
            dest.StretchBlt(&source, to, from, Color::White, DrawMode::Normal);
        };
    });
}

INSTANTIATE_TEST_SUITE_P(Kernels, KernelAgreement,
                         ::testing::Values(Kernels::Widest, Kernels::Sse2),
                         [](const ::testing::TestParamInfo<Kernels>& param) {
                             return param.param == Kernels::Widest ? "Widest" : "Sse2";
                         });

}  // namespace
}  // namespace Varn
