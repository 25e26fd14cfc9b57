// Sprite drawing speed of MemoryImage against pixman and SDL_BlitSurface on the same work,
// in one run:
//  - Blt of 64 partially transparent 49x49 sprites onto a 640x480 image with alpha
//    (pixman: OVER, a8b8g8r8 onto a8b8g8r8);
//  - the same with a tint (pixman: OVER through a solid component-alpha mask);
//  - StretchBlt of the 64 sprites from 49x49 to 43x43 (pixman: bilinear scaled OVER).
// SDL blends straight-alpha ABGR8888 surfaces (no RLE), tints with its colour and alpha
// modulation, and scales with SDL_BlitScaled (nearest pixel: SDL's surfaces have no
// filtered blend). Pixman works on premultiplied pixels, our images and SDL on straight
// ones; each side gets its own form of the same picture. After the runs, each of ours is
// printed as a ratio to pixman's and to SDL's time for the same work (CPU time; the median
// when repetitions are asked for; --benchmark_enable_random_interleaving=true evens out a
// machine whose load changes during the run).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "graphics/MemoryImage.h"

namespace {

constexpr int kScreenWidth = 640, kScreenHeight = 480, kSprite = 49, kShrunk = 43, kCount = 64;

// A gem-like sprite: an opaque disc with a soft rim, a translucent highlight and fully
// transparent corners.
std::vector<uint32_t> MakeSprite() {
    std::vector<uint32_t> px(kSprite * kSprite);
    for (int y = 0; y < kSprite; ++y)
        for (int x = 0; x < kSprite; ++x) {
            double d = std::hypot(x - 24.0, y - 24.0);
            int alpha = d < 20 ? 255 : d < 24 ? int((24 - d) / 4 * 255) : 0;
            if (std::hypot(x - 17.0, y - 16.0) < 5) alpha = 160;
            uint32_t r = 40 + x * 4, g = 200 - y * 3, b = 90 + (x + y) % 100;
            px[y * kSprite + x] = r | g << 8 | b << 16 | uint32_t(alpha) << 24;
        }
    return px;
}

uint32_t Premultiplied(uint32_t p) {
    uint32_t a = p >> 24;
    auto c = [&](int s) { return ((p >> s & 0xFF) * a + 127) / 255 << s; };
    return c(0) | c(8) | c(16) | a << 24;
}

uint32_t ScreenPixel(int x, int y) {
    return 0xFF000000u | uint32_t(x % 256) | uint32_t(y % 256) << 8 | 0x400000u;
}

void SpritePosition(int i, int& x, int& y) {
    x = 8 + (i % 8) * 78;
    y = 6 + (i / 8) * 58;
}

struct OurScene {
    Varn::MemoryImage screen{nullptr};
    Varn::MemoryImage sprite{nullptr};
    OurScene() {
        std::vector<uint32_t> s = MakeSprite();
        sprite.SetBits(s.data(), kSprite, kSprite);
        std::vector<uint32_t> bg(kScreenWidth * kScreenHeight);
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) bg[y * kScreenWidth + x] = ScreenPixel(x, y);
        screen.SetBits(bg.data(), kScreenWidth, kScreenHeight);
    }
};

struct PixmanScene {
    std::vector<uint32_t> screenBits, spriteBits;
    pixman_image_t* screen;
    pixman_image_t* sprite;
    PixmanScene() : screenBits(kScreenWidth * kScreenHeight), spriteBits(MakeSprite()) {
        for (auto& p : spriteBits) p = Premultiplied(p);
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x)
                screenBits[y * kScreenWidth + x] = ScreenPixel(x, y);
        screen = pixman_image_create_bits(PIXMAN_a8b8g8r8, kScreenWidth, kScreenHeight,
                                          screenBits.data(), kScreenWidth * 4);
        sprite = pixman_image_create_bits(PIXMAN_a8b8g8r8, kSprite, kSprite, spriteBits.data(),
                                          kSprite * 4);
    }
    ~PixmanScene() {
        pixman_image_unref(sprite);
        pixman_image_unref(screen);
    }
};

// The same scene as SDL surfaces in the layout of our pixels (red in the lowest byte).
struct SdlScene {
    SDL_Surface* screen;
    SDL_Surface* sprite;
    SdlScene() {
        screen = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32,
                                                SDL_PIXELFORMAT_ABGR8888);
        sprite = SDL_CreateRGBSurfaceWithFormat(0, kSprite, kSprite, 32, SDL_PIXELFORMAT_ABGR8888);
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) Row(screen, y)[x] = ScreenPixel(x, y);
        std::vector<uint32_t> s = MakeSprite();
        for (int y = 0; y < kSprite; ++y)
            for (int x = 0; x < kSprite; ++x) Row(sprite, y)[x] = s[y * kSprite + x];
        SDL_SetSurfaceRLE(sprite, 0);
        SDL_SetSurfaceBlendMode(sprite, SDL_BLENDMODE_BLEND);
    }
    ~SdlScene() {
        SDL_FreeSurface(sprite);
        SDL_FreeSurface(screen);
    }
    static uint32_t* Row(SDL_Surface* s, int y) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
    }
    void Draw(int size) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            SDL_Rect at{x, y, size, size};
            if (size == kSprite)
                SDL_BlitSurface(sprite, nullptr, screen, &at);
            else
                SDL_BlitScaled(sprite, nullptr, screen, &at);
        }
    }
};

const Varn::Color kTint(255, 180, 90, 200);

void OursBlt(benchmark::State& state) {
    OurScene scene;
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            scene.screen.Blt(&scene.sprite, x, y, Varn::Rect(0, 0, kSprite, kSprite),
                             Varn::Color::White, 0);
        }
        benchmark::ClobberMemory();
    }
}

void PixmanBlt(benchmark::State& state) {
    PixmanScene scene;
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0,
                                     0, x, y, kSprite, kSprite);
        }
        benchmark::ClobberMemory();
    }
}

void OursTintedBlt(benchmark::State& state) {
    OurScene scene;
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            scene.screen.Blt(&scene.sprite, x, y, Varn::Rect(0, 0, kSprite, kSprite), kTint, 0);
        }
        benchmark::ClobberMemory();
    }
}

void PixmanTintedBlt(benchmark::State& state) {
    PixmanScene scene;
    pixman_color_t color = {uint16_t(kTint.red * 257), uint16_t(kTint.green * 257),
                            uint16_t(kTint.blue * 257), uint16_t(kTint.alpha * 257)};
    pixman_image_t* mask = pixman_image_create_solid_fill(&color);
    pixman_image_set_component_alpha(mask, 1);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, mask, scene.screen, 0, 0, 0, 0,
                                     x, y, kSprite, kSprite);
        }
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
}

void OursStretchBlt(benchmark::State& state) {
    OurScene scene;
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            scene.screen.StretchBlt(&scene.sprite, Varn::Rect(x, y, kShrunk, kShrunk),
                                    Varn::FRect{0, 0, kSprite, kSprite}, Varn::Color::White, 0);
        }
        benchmark::ClobberMemory();
    }
}

void PixmanStretchBlt(benchmark::State& state) {
    PixmanScene scene;
    pixman_transform_t scale;
    pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(kSprite) / kShrunk),
                                pixman_double_to_fixed(double(kSprite) / kShrunk));
    pixman_image_set_transform(scene.sprite, &scale);
    pixman_image_set_filter(scene.sprite, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        for (int i = 0; i < kCount; ++i) {
            int x, y;
            SpritePosition(i, x, y);
            pixman_image_composite32(PIXMAN_OP_OVER, scene.sprite, nullptr, scene.screen, 0, 0, 0,
                                     0, x, y, kShrunk, kShrunk);
        }
        benchmark::ClobberMemory();
    }
}

void SdlBlt(benchmark::State& state) {
    SdlScene scene;
    for (auto _ : state) {
        scene.Draw(kSprite);
        benchmark::ClobberMemory();
    }
}

void SdlTintedBlt(benchmark::State& state) {
    SdlScene scene;
    SDL_SetSurfaceColorMod(scene.sprite, Uint8(kTint.red), Uint8(kTint.green), Uint8(kTint.blue));
    SDL_SetSurfaceAlphaMod(scene.sprite, Uint8(kTint.alpha));
    for (auto _ : state) {
        scene.Draw(kSprite);
        benchmark::ClobberMemory();
    }
}

void SdlStretchBlt(benchmark::State& state) {
    SdlScene scene;
    for (auto _ : state) {
        scene.Draw(kShrunk);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(OursBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(PixmanBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(OursTintedBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(PixmanTintedBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(OursStretchBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(PixmanStretchBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(SdlBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(SdlTintedBlt)->Unit(benchmark::kMicrosecond);
BENCHMARK(SdlStretchBlt)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then each of ours as a multiple of pixman's time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[name] = run.GetAdjustedCPUTime();
            else if (run.run_type == Run::RT_Iteration)
                seconds[name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : medians) seconds[name] = time;
        for (const char* work : {"Blt", "TintedBlt", "StretchBlt"}) {
            double ours = Seconds(std::string("Ours") + work);
            double pixman = Seconds(std::string("Pixman") + work);
            double sdl = Seconds(std::string("Sdl") + work);
            if (ours <= 0) continue;
            std::printf("%-11s", work);
            if (pixman > 0) std::printf("  ours / pixman = %.2f", ours / pixman);
            if (sdl > 0) std::printf("  ours / SDL = %.2f", ours / sdl);
            std::printf("\n");
        }
    }

private:
    double Seconds(const std::string& name) const {
        auto found = seconds.find(name);
        return found == seconds.end() ? 0 : found->second;
    }
    std::map<std::string, double> seconds;
    std::map<std::string, double> medians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
