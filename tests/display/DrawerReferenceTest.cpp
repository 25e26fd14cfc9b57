// The drawers against a plain model of their arithmetic, written channel by channel with
// 64-bit products, over seeded random pixels and colours in both depths. This catches the
// drawers' shortcuts (two channels per multiply, copied runs, skipped runs) diverging from
// the stated arithmetic anywhere in the value range.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "DisplayTestSupport.h"
#include "graphics/drawers/SurfaceDrawers.h"

namespace Varn::DisplayTest {
namespace {

struct Masks {
    uint64_t m[3];
    int shift[3];
    int bits[3];
};

Masks MasksOf(int depth) {
    if (depth == 16) return {{0xF800, 0x07E0, 0x001F}, {11, 5, 0}, {5, 6, 5}};
    return {{0xFF0000, 0xFF00, 0xFF}, {16, 8, 0}, {8, 8, 8}};
}

uint64_t Ch(uint64_t v, uint64_t m, uint64_t f) {
    return ((v & m) * f + (m >> 1)) >> 8 & m;
}

uint32_t ModelNative(const Masks& k, uint32_t p) {
    uint64_t a = p >> 24;
    uint64_t c[3] = {(p & 0xFF) * a / 256, (p >> 8 & 0xFF) * a / 256, (p >> 16 & 0xFF) * a / 256};
    uint64_t v = 0;
    for (int i = 0; i < 3; ++i) v |= (k.m[i] * c[i]) >> 8 & k.m[i];
    return uint32_t(v | (p & 0xFF000000u));
}

uint32_t ModelFill(const Masks& k, uint32_t d, const Color& c) {
    int rgb[3] = {c.red, c.green, c.blue};
    uint64_t v = 0;
    if (c.alpha == 255) {
        for (int i = 0; i < 3; ++i) v |= (uint64_t(rgb[i]) * k.m[i] + (k.m[i] >> 1)) >> 8 & k.m[i];
        return uint32_t(v);
    }
    for (int i = 0; i < 3; ++i) {
        uint64_t pre = uint64_t((rgb[i] * c.alpha + 128) >> 8);
        v += (pre * k.m[i] + (k.m[i] >> 1)) >> 8 & k.m[i];
        v += Ch(d, k.m[i], uint64_t(256 - c.alpha));
    }
    return uint32_t(v);
}

uint32_t Saturate(const Masks& k, int i, uint64_t value) {
    uint64_t max = (uint64_t(1) << k.bits[i]) - 1;
    return uint32_t(std::min(value, max) << k.shift[i]);
}

uint32_t ModelAddFill(const Masks& k, uint32_t d, const Color& c) {
    int rgb[3] = {c.red, c.green, c.blue};
    uint32_t v = 0;
    for (int i = 0; i < 3; ++i)
        v |= Saturate(k, i, uint64_t(rgb[i] >> (8 - k.bits[i])) + ((d & k.m[i]) >> k.shift[i]));
    return v;
}

uint32_t ModelBlend(const Masks& k, uint32_t d, uint32_t n, const Color& t) {
    uint32_t a = n >> 24;
    if (a == 0) return d;
    if (t == Color::White) {
        if (a == 255) return n;
        uint64_t v = n;
        for (int i = 0; i < 3; ++i) v += Ch(d, k.m[i], 256 - a);
        return uint32_t(v);
    }
    uint64_t tc[3] = {uint64_t(t.red * t.alpha / 255), uint64_t(t.green * t.alpha / 255),
                      uint64_t(t.blue * t.alpha / 255)};
    uint64_t v = 0;
    if (a == 255 && t.alpha == 255) {
        for (int i = 0; i < 3; ++i) v += ((n & k.m[i]) * tc[i] + (k.m[i] >> 1)) >> 8 & k.m[i];
        return uint32_t(v);
    }
    uint64_t inv = 256 - a * uint64_t(t.alpha) / 255;
    for (int i = 0; i < 3; ++i)
        v += ((n & k.m[i]) * tc[i] + (d & k.m[i]) * inv + (k.m[i] >> 1)) >> 8 & k.m[i];
    return uint32_t(v);
}

uint32_t ModelAdd(const Masks& k, uint32_t d, uint32_t s, const Color& t) {
    if ((s & 0xFFFFFF) == 0) return d;
    uint64_t tc[3] = {uint64_t(t.red * t.alpha / 255), uint64_t(t.green * t.alpha / 255),
                      uint64_t(t.blue * t.alpha / 255)};
    uint32_t v = 0;
    for (int i = 0; i < 3; ++i) {
        uint64_t sc = (s & k.m[i]) >> k.shift[i];
        uint64_t dc = (d & k.m[i]) >> k.shift[i];
        v |= Saturate(k, i, t == Color::White ? sc + dc : sc * tc[i] / 256 + dc);
    }
    return v;
}

class DrawerReferenceTest : public ::testing::TestWithParam<int> {
protected:
    static constexpr int kW = 40;
    static constexpr int kH = 12;

    DrawerReferenceTest() : display(GetParam(), kW, kH), masks(MasksOf(GetParam())) {}

    uint32_t DisplayMask() const { return GetParam() == 16 ? 0xFFFFu : 0xFFFFFFFFu; }

    // Random destination values; returns them.
    std::vector<uint32_t> Scramble() {
        std::vector<uint32_t> before(kW * kH);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t v = uint32_t(rng()) & DisplayMask() & (GetParam() == 16 ? ~0u : 0xFFFFFFu);
                display.SetRaw(x, y, v);
                before[std::size_t(y * kW + x)] = v;
            }
        return before;
    }

    // Random picture: runs of transparent, opaque and partial pixels, some black.
    std::vector<uint32_t> RandomPicture(int w, int h, int longestRun = 7) {
        std::vector<uint32_t> p;
        while (int(p.size()) < w * h) {
            int run = int(rng() % uint32_t(longestRun)) + 1;
            int kind = int(rng() % 4);
            for (int i = 0; i < run && int(p.size()) < w * h; ++i) {
                uint32_t rgb = kind == 3 ? 0 : uint32_t(rng()) & 0xFFFFFF;
                uint32_t a = kind == 0                ? 0
                             : kind == 1 || kind == 3 ? 255
                                                      : uint32_t(rng() % 254 + 1);
                p.push_back(rgb | a << 24);
            }
        }
        return p;
    }

    Color RandomColor(bool opaque) {
        return Color(int(rng() % 256), int(rng() % 256), int(rng() % 256),
                     opaque ? 255 : int(rng() % 256));
    }

    std::mt19937 rng{12345};
    Display display;
    Masks masks;
};

TEST_P(DrawerReferenceTest, FillsMatchTheModel) {
    for (int round = 0; round < 40; ++round) {
        auto before = Scramble();
        Color c = RandomColor(round % 3 == 0);
        int mode = round % 2;
        Rect r(int(rng() % 10), int(rng() % 4), int(rng() % 30) + 1, int(rng() % 8) + 1);
        display.Screen().FillRect(r, c, mode);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t d = before[std::size_t(y * kW + x)];
                uint32_t want = !r.Contains(x, y) ? d
                                : mode == 0       ? ModelFill(masks, d, c)
                                                  : ModelAddFill(masks, d, c);
                ASSERT_EQ(display.Raw(x, y), want & DisplayMask())
                    << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST_P(DrawerReferenceTest, BlitsMatchTheModel) {
    constexpr int kSw = 30, kSh = 8;
    for (int round = 0; round < 60; ++round) {
        auto pixels = RandomPicture(kSw, kSh);
        auto source = Picture(pixels, kSw);
        auto before = Scramble();
        int mode = round % 2;
        Color tint = round % 3 == 0 ? Color::White : RandomColor(round % 5 == 0);
        Rect src(int(rng() % 10), int(rng() % 3), int(rng() % 20) + 1, int(rng() % 5) + 1);
        int dx = int(rng() % 15), dy = int(rng() % 5);
        display.Screen().Blt(source.get(), dx, dy, src, tint, mode);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                uint32_t d = before[std::size_t(y * kW + x)];
                uint32_t want = d;
                int sx = x - dx + src.x, sy = y - dy + src.y;
                if (Rect(dx, dy, src.width, src.height).Contains(x, y)) {
                    uint32_t n = ModelNative(masks, pixels[std::size_t(sy * kSw + sx)]);
                    want = mode == 0 ? ModelBlend(masks, d, n, tint) : ModelAdd(masks, d, n, tint);
                }
                ASSERT_EQ(display.Raw(x, y) & DisplayMask() & (GetParam() == 16 ? ~0u : 0xFFFFFFu),
                          want & DisplayMask() & (GetParam() == 16 ? ~0u : 0xFFFFFFu))
                    << "round " << round << " at " << x << "," << y;
            }
    }
}

// Turns the vector forms off for as long as it lives.
struct ScalarOnly {
    ScalarOnly() { SurfaceDraw::UseVectorCode(false); }
    ~ScalarOnly() { SurfaceDraw::UseVectorCode(true); }
};

// The vector forms against the plain loops: the same pictures, tints and destination bytes
// (top bytes included) drawn both ways must leave the same bytes.
TEST_P(DrawerReferenceTest, VectorAndScalarLoopsLeaveTheSameBytes) {
    constexpr int kSw = 90, kSh = 6;
    int depth = GetParam();
    PixelLayout layout = depth == 16 ? PixelLayout::Rgb565() : PixelLayout::Xrgb8888();
    DisplayFormat format = DisplayFormat::FromLayout(layout);
    int pitch = kSw * depth / 8;
    for (int round = 0; round < 60; ++round) {
        auto image = Picture(RandomPicture(kSw, kSh, 40), kSw);
        const uint32_t* native =
            image->GetNativeAlphaData(depth, layout.redMask, layout.greenMask, layout.blueMask);
        SurfaceDraw::Source blend{native, image->GetRunLengthAlphaData(), kSw, kSh};
        SurfaceDraw::Source add{native,
                                image->GetRunLengthAdditiveData(depth, layout.redMask,
                                                                layout.greenMask, layout.blueMask),
                                kSw, kSh};
        std::vector<uint8_t> before(std::size_t(pitch) * kSh);
        for (uint8_t& b : before) b = uint8_t(rng());
        Color tint = round % 3 == 0 ? Color::White : RandomColor(round % 3 == 1);
        Rect src(int(rng() % 8), 0, kSw - 8, kSh);
        for (int job = 0; job < 3; ++job) {
            std::vector<uint8_t> scalar = before, vector = before;
            auto draw = [&](std::vector<uint8_t>& into) {
                SurfaceDraw::Target t{into.data(), pitch, kSw, kSh, &format};
                if (job == 0)
                    SurfaceDraw::NormalBltBlended(t, 3, 0, blend, src, tint);
                else if (job == 1)
                    SurfaceDraw::AdditiveBlt(t, 3, 0, add, src, tint);
                else
                    SurfaceDraw::NormalFillRect(t, src, tint);
            };
            {
                ScalarOnly scalarOnly;
                draw(scalar);
            }
            draw(vector);
            ASSERT_EQ(scalar, vector) << "round " << round << " job " << job;
        }
    }
}

// The colour-keyed surface copy, vector against plain loop: key pixels in runs of any length.
TEST_P(DrawerReferenceTest, KeyedCopyVectorAndScalarLeaveTheSameBytes) {
    constexpr int kSw = 70, kSh = 5;
    PixelLayout layout = GetParam() == 16 ? PixelLayout::Rgb565() : PixelLayout::Xrgb8888();
    uint32_t key = uint32_t(rng()) & DisplayMask();
    auto source = DDSurface::Create(kSw, kSh, layout);
    source->SetColorKey(key);
    auto scalar = DDSurface::Create(kSw + 6, kSh, layout);
    auto vector = DDSurface::Create(kSw + 6, kSh, layout);
    LockedSurface from, a, b;
    source->Lock(from);
    scalar->Lock(a);
    vector->Lock(b);
    for (int y = 0; y < kSh; ++y)
        for (int x = 0; x < kSw + 6; ++x) {
            uint32_t v = uint32_t(rng());
            if (GetParam() == 16) {
                reinterpret_cast<uint16_t*>(a.pixels + y * a.pitch)[x] = uint16_t(v);
                reinterpret_cast<uint16_t*>(b.pixels + y * b.pitch)[x] = uint16_t(v);
            } else {
                reinterpret_cast<uint32_t*>(a.pixels + y * a.pitch)[x] = v;
                reinterpret_cast<uint32_t*>(b.pixels + y * b.pitch)[x] = v;
            }
        }
    for (int y = 0; y < kSh; ++y)
        for (int x = 0; x < kSw;) {
            int run = int(rng() % 20) + 1;
            bool hole = rng() % 2;
            for (; run > 0 && x < kSw; --run, ++x) {
                uint32_t v = hole ? key : uint32_t(rng()) & DisplayMask();
                if (GetParam() == 16)
                    reinterpret_cast<uint16_t*>(from.pixels + y * from.pitch)[x] = uint16_t(v);
                else
                    reinterpret_cast<uint32_t*>(from.pixels + y * from.pitch)[x] = v;
            }
        }
    source->Unlock();
    scalar->Unlock();
    vector->Unlock();
    {
        ScalarOnly scalarOnly;
        scalar->Blt(3, 0, *source, Rect(1, 0, kSw - 1, kSh), true);
    }
    vector->Blt(3, 0, *source, Rect(1, 0, kSw - 1, kSh), true);
    std::size_t bytes = std::size_t(scalar->GetPitch()) * kSh;
    ASSERT_TRUE(std::equal(scalar->Pixels(), scalar->Pixels() + bytes, vector->Pixels()));
}

INSTANTIATE_TEST_SUITE_P(BothDepths, DrawerReferenceTest, ::testing::Values(16, 32));

}  // namespace
}  // namespace Varn::DisplayTest
