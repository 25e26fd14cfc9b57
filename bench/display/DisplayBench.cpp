// The surface drawers side by side with pixman, SDL_BlitSurface (no RLE) and memcpy on the
// same work, into a 640x480 surface in 5-6-5 and x8r8g8b8:
//   Board  - 64 partially transparent 49x49 gem sprites (prepared as the drawers prepare
//            them: premultiplied display values and run-length tables, made once);
//   Copy   - an opaque full-screen picture, ours as the game draws it (a surface copy);
//   CopyMem - the same picture drawn from memory (ours: the copy path; pixman and SDL
//            converting from 32-bit ARGB);
//   Keyed  - a 256x256 sprite without partial alpha: ours a colour-keyed surface copy, SDL
//            its colour-key blit, pixman OVER of the same picture;
//   Add    - a 256x256 glow added;
//   Tint   - a 256x256 sprite drawn with a translucent tint (alpha 128);
//   Frame  - one full drawing pass of a busy frame through DDImage (background, 64 gems,
//            40 sparkles, messages), reported as a share of the 10 ms update tick.
// After the runs a table gives every time as a ratio to pixman's time for the same job; the
// "scalar" column is ours with the vector forms turned off.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "BenchPictures.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"
#include "graphics/drawers/SurfaceDrawers.h"
#include "platform/headless/HeadlessPlatform.h"

namespace Varn::Bench {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kGem = 49;
constexpr int kBig = 256;

uint32_t PremultipliedArgb(uint32_t p) {
    uint32_t a = p >> 24;
    auto c = [a](uint32_t v) { return (v * a + 127) / 255; };
    return a << 24 | c(p & 0xFF) << 16 | c(p >> 8 & 0xFF) << 8 | c(p >> 16 & 0xFF);
}

uint32_t Argb(uint32_t p) {
    return (p & 0xFF00FF00u) | (p & 0xFF) << 16 | (p >> 16 & 0xFF);
}

// One picture in every form the contenders want.
struct Picture {
    int width, height;
    std::unique_ptr<MemoryImage> image;  // ours: premultiplied native values and run tables
    SurfaceDraw::Source normal, additive;
    std::vector<uint32_t> premultiplied;  // pixman a8r8g8b8
    pixman_image_t* pixman = nullptr;
    SDL_Surface* sdl = nullptr;  // SDL ARGB8888, not premultiplied

    Picture(const std::vector<uint32_t>& pixels, int w, int h, const PixelLayout& l)
        : width(w), height(h), image(std::make_unique<MemoryImage>(nullptr)) {
        image->SetBits(pixels.data(), w, h);
        const uint32_t* native =
            image->GetNativeAlphaData(l.bitCount, l.redMask, l.greenMask, l.blueMask);
        normal = {native, image->GetRunLengthAlphaData(), w, h};
        additive = {native,
                    image->GetRunLengthAdditiveData(l.bitCount, l.redMask, l.greenMask, l.blueMask),
                    w, h};
        for (uint32_t p : pixels) premultiplied.push_back(PremultipliedArgb(p));
        pixman = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, premultiplied.data(), w * 4);
        sdl = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
        auto* out = static_cast<uint32_t*>(sdl->pixels);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out[y * sdl->pitch / 4 + x] = Argb(pixels[std::size_t(y) * w + x]);
        SDL_SetSurfaceRLE(sdl, 0);
        SDL_SetSurfaceBlendMode(sdl, SDL_BLENDMODE_BLEND);
    }
    ~Picture() {
        pixman_image_unref(pixman);
        SDL_FreeSurface(sdl);
    }
};

// Everything for one depth: a destination per contender and the pictures.
struct Scene {
    int bits;
    PixelLayout layout;
    DisplayFormat format;
    std::unique_ptr<DDSurface> ours;
    SurfaceDraw::Target target;
    std::vector<uint8_t> pixmanMemory;
    pixman_image_t* pixmanDest;
    SDL_Surface* sdlDest;
    std::vector<uint8_t> copySource;
    std::vector<std::unique_ptr<Picture>> gems;
    std::unique_ptr<Picture> background, glow, big, cutout;
    pixman_image_t* opaqueSame;  // the background already in the destination format
    SDL_Surface* sdlSame;
    pixman_image_t* halfMask;
    std::unique_ptr<DDSurface> backgroundSurface;  // the background as a keyless surface
    std::unique_ptr<DDSurface> cutoutSurface;      // the cut-out sprite, keyed as DDImage keys it

    explicit Scene(int depth)
        : bits(depth),
          layout(depth == 16 ? PixelLayout::Rgb565() : PixelLayout::Xrgb8888()),
          format(DisplayFormat::FromLayout(layout)),
          ours(DDSurface::Create(kWidth, kHeight, layout)) {
        LockedSurface locked;
        ours->Lock(locked);
        target = {locked.pixels, locked.pitch, kWidth, kHeight, &format};
        ours->Unlock();
        int pitch = kWidth * depth / 8;
        pixmanMemory.assign(std::size_t(pitch) * kHeight, 0x40);
        pixman_format_code_t pf = depth == 16 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
        pixmanDest = pixman_image_create_bits(
            pf, kWidth, kHeight, reinterpret_cast<uint32_t*>(pixmanMemory.data()), pitch);
        Uint32 sf = depth == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
        sdlDest = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, depth, sf);
        copySource.assign(std::size_t(ours->GetPitch()) * kHeight, 0x5A);
        for (int k = 0; k < 7; ++k)
            gems.push_back(std::make_unique<Picture>(GemSprite(kGem, k), kGem, kGem, layout));
        background =
            std::make_unique<Picture>(Background(kWidth, kHeight), kWidth, kHeight, layout);
        glow = std::make_unique<Picture>(Glow(kBig), kBig, kBig, layout);
        big = std::make_unique<Picture>(GemSprite(kBig, 3), kBig, kBig, layout);
        cutout = std::make_unique<Picture>(Cutout(GemSprite(kBig, 4)), kBig, kBig, layout);
        SDL_SetColorKey(cutout->sdl, SDL_TRUE, 0);  // the cut-out's holes are 0 in ARGB
        SDL_SetSurfaceBlendMode(cutout->sdl, SDL_BLENDMODE_NONE);
        SDL_SetSurfaceRLE(cutout->sdl, 0);
        opaqueSame = pixman_image_create_bits(pf, kWidth, kHeight, nullptr, 0);
        pixman_image_composite32(PIXMAN_OP_SRC, background->pixman, nullptr, opaqueSame, 0, 0, 0, 0,
                                 0, 0, kWidth, kHeight);
        sdlSame = SDL_ConvertSurfaceFormat(background->sdl, sf, 0);
        SDL_SetSurfaceBlendMode(sdlSame, SDL_BLENDMODE_NONE);
        pixman_color_t half{0, 0, 0, 0x8080};
        halfMask = pixman_image_create_solid_fill(&half);
        backgroundSurface = DDSurface::Create(kWidth, kHeight, layout);
        LockedSurface bg;
        backgroundSurface->Lock(bg);
        SurfaceDraw::Target into{bg.pixels, bg.pitch, kWidth, kHeight, &format};
        SurfaceDraw::NormalBltCopy(into, 0, 0, background->normal, Rect(0, 0, kWidth, kHeight),
                                   false);
        backgroundSurface->Unlock();
        cutoutSurface = DDSurface::Create(kBig, kBig, layout);
        LockedSurface cut;
        cutoutSurface->Lock(cut);
        SurfaceDraw::Target cutInto{cut.pixels, cut.pitch, kBig, kBig, &format};
        SurfaceDraw::NormalFillRect(cutInto, Rect(0, 0, kBig, kBig), Color(0, 0, 0));
        SurfaceDraw::NormalBltCopy(cutInto, 0, 0, cutout->normal, Rect(0, 0, kBig, kBig), true);
        cutoutSurface->Unlock();
        cutoutSurface->SetColorKey(0);
    }
    ~Scene() {
        pixman_image_unref(pixmanDest);
        pixman_image_unref(opaqueSame);
        pixman_image_unref(halfMask);
        SDL_FreeSurface(sdlDest);
        SDL_FreeSurface(sdlSame);
    }
    static int GemX(int i) { return 16 + (i % 8) * 52; }
    static int GemY(int i) { return 24 + (i / 8) * 52; }
};

Scene& SceneFor(int depth) {
    static Scene s16(16), s32(32);
    return depth == 16 ? s16 : s32;
}

// ---- the jobs, one function per contender ----

void BoardOurs(Scene& s) {
    for (int i = 0; i < 64; ++i)
        SurfaceDraw::NormalBltBlended(s.target, Scene::GemX(i), Scene::GemY(i),
                                      s.gems[i % 7]->normal, Rect(0, 0, kGem, kGem), Color::White);
}
void BoardPixman(Scene& s) {
    for (int i = 0; i < 64; ++i)
        pixman_image_composite32(PIXMAN_OP_OVER, s.gems[i % 7]->pixman, nullptr, s.pixmanDest, 0, 0,
                                 0, 0, Scene::GemX(i), Scene::GemY(i), kGem, kGem);
}
void BoardSdl(Scene& s) {
    for (int i = 0; i < 64; ++i) {
        SDL_Rect at{Scene::GemX(i), Scene::GemY(i), kGem, kGem};
        SDL_BlitSurface(s.gems[i % 7]->sdl, nullptr, s.sdlDest, &at);
    }
}
void BoardMemcpy(Scene& s) {
    int bytes = s.bits / 8;
    for (int i = 0; i < 64; ++i)
        for (int y = 0; y < kGem; ++y)
            std::memcpy(s.target.pixels + std::size_t(Scene::GemY(i) + y) * s.target.pitch +
                            std::size_t(Scene::GemX(i)) * bytes,
                        s.copySource.data() + std::size_t(y) * s.target.pitch,
                        std::size_t(kGem) * bytes);
}

// An opaque picture is a surface in the game: the copy is the surface path.
void CopyOurs(Scene& s) {
    s.ours->Blt(0, 0, *s.backgroundSurface, Rect(0, 0, kWidth, kHeight), false);
}
// The same picture drawn from memory (the copy path of a picture that has no surface).
void CopyMemoryOurs(Scene& s) {
    SurfaceDraw::NormalBltCopy(s.target, 0, 0, s.background->normal, Rect(0, 0, kWidth, kHeight),
                               false);
}
void CopyMemoryPixman(Scene& s) {
    pixman_image_composite32(PIXMAN_OP_SRC, s.background->pixman, nullptr, s.pixmanDest, 0, 0, 0, 0,
                             0, 0, kWidth, kHeight);
}
void CopyMemorySdl(Scene& s) {
    SDL_SetSurfaceBlendMode(s.background->sdl, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(s.background->sdl, nullptr, s.sdlDest, nullptr);
}
void CopyPixman(Scene& s) {
    pixman_image_composite32(PIXMAN_OP_SRC, s.opaqueSame, nullptr, s.pixmanDest, 0, 0, 0, 0, 0, 0,
                             kWidth, kHeight);
}
void CopySdl(Scene& s) {
    SDL_BlitSurface(s.sdlSame, nullptr, s.sdlDest, nullptr);
}
void CopyMemcpy(Scene& s) {
    std::memcpy(s.target.pixels, s.copySource.data(), s.copySource.size());
}

// A sprite without partial alpha: a colour-keyed surface copy in the game.
void KeyedOurs(Scene& s) {
    s.ours->Blt(100, 100, *s.cutoutSurface, Rect(0, 0, kBig, kBig), true);
}
void KeyedPixman(Scene& s) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.cutout->pixman, nullptr, s.pixmanDest, 0, 0, 0, 0,
                             100, 100, kBig, kBig);
}
void KeyedSdl(Scene& s) {
    SDL_Rect at{100, 100, kBig, kBig};
    SDL_BlitSurface(s.cutout->sdl, nullptr, s.sdlDest, &at);
}

void AddOurs(Scene& s) {
    SurfaceDraw::AdditiveBlt(s.target, 100, 100, s.glow->additive, Rect(0, 0, kBig, kBig),
                             Color::White);
}
void AddPixman(Scene& s) {
    pixman_image_composite32(PIXMAN_OP_ADD, s.glow->pixman, nullptr, s.pixmanDest, 0, 0, 0, 0, 100,
                             100, kBig, kBig);
}
void AddSdl(Scene& s) {
    SDL_SetSurfaceBlendMode(s.glow->sdl, SDL_BLENDMODE_ADD);
    SDL_Rect at{100, 100, kBig, kBig};
    SDL_BlitSurface(s.glow->sdl, nullptr, s.sdlDest, &at);
}
void BigMemcpy(Scene& s) {
    int bytes = s.bits / 8;
    for (int y = 0; y < kBig; ++y)
        std::memcpy(s.target.pixels + std::size_t(100 + y) * s.target.pitch + 100 * bytes,
                    s.copySource.data() + std::size_t(y) * s.target.pitch,
                    std::size_t(kBig) * bytes);
}

void TintOurs(Scene& s) {
    SurfaceDraw::NormalBltBlended(s.target, 100, 100, s.big->normal, Rect(0, 0, kBig, kBig),
                                  Color(255, 255, 255, 128));
}
void TintPixman(Scene& s) {
    pixman_image_composite32(PIXMAN_OP_OVER, s.big->pixman, s.halfMask, s.pixmanDest, 0, 0, 0, 0,
                             100, 100, kBig, kBig);
}
void TintSdl(Scene& s) {
    SDL_SetSurfaceAlphaMod(s.big->sdl, 128);
    SDL_Rect at{100, 100, kBig, kBig};
    SDL_BlitSurface(s.big->sdl, nullptr, s.sdlDest, &at);
    SDL_SetSurfaceAlphaMod(s.big->sdl, 255);
}

// A busy frame through the display device and DDImage, as the game draws it.
struct BusyFrame {
    HeadlessWindow window;
    DDInterface device;
    DDImage background;
    std::vector<std::unique_ptr<MemoryImage>> gems;
    std::unique_ptr<MemoryImage> sparkle, message;

    explicit BusyFrame(int depth) : device(nullptr, kWidth, kHeight), background(&device) {
        window.desktopBytesPerPixel = depth / 8;
        window.Create("bench", kWidth, kHeight, false);
        device.Init(&window, true);
        auto bg = Background(kWidth, kHeight);
        background.SetBits(bg.data(), kWidth, kHeight);
        background.GenerateSurface();
        for (int k = 0; k < 7; ++k) {
            auto p = GemSprite(kGem, k);
            gems.push_back(std::make_unique<MemoryImage>(nullptr));
            gems.back()->SetBits(p.data(), kGem, kGem);
        }
        auto glow = Glow(32);
        sparkle = std::make_unique<MemoryImage>(nullptr);
        sparkle->SetBits(glow.data(), 32, 32);
        auto text = GemSprite(300, 5);
        text.resize(300 * 50);
        message = std::make_unique<MemoryImage>(nullptr);
        message->SetBits(text.data(), 300, 50);
    }

    void Draw() {
        DDImage& screen = *device.GetScreenDDImage();
        screen.Blt(&background, 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
        for (int i = 0; i < 64; ++i)
            screen.Blt(gems[std::size_t(i % 7)].get(), Scene::GemX(i), Scene::GemY(i),
                       Rect(0, 0, kGem, kGem), Color::White, DrawMode::Normal);
        for (int i = 0; i < 40; ++i)
            screen.Blt(sparkle.get(), (i * 97) % 600, (i * 53) % 440, Rect(0, 0, 32, 32),
                       Color::White, DrawMode::Additive);
        screen.FillRect(Rect(150, 180, 340, 120), Color(0, 0, 0, 128), DrawMode::Normal);
        screen.Blt(message.get(), 170, 200, Rect(0, 0, 300, 50), Color(255, 220, 120, 200),
                   DrawMode::Normal);
        screen.Blt(message.get(), 170, 240, Rect(0, 0, 300, 50), Color::White, DrawMode::Normal);
        device.Redraw();
    }
};

void FrameOurs(int depth, benchmark::State& state) {
    static BusyFrame f16(16), f32(32);
    BusyFrame& f = depth == 16 ? f16 : f32;
    for (auto _ : state) f.Draw();
}

// One line of system-font text into the screen, as dialogs and buttons draw it.
void TextOurs(int depth, benchmark::State& state) {
    static BusyFrame f16(16), f32(32);
    static SysFont font("SansSerif", 12, true);
    BusyFrame& f = depth == 16 ? f16 : f32;
    Graphics g(f.device.GetScreenDDImage());
    g.SetFont(&font);
    g.SetColor(Color(255, 255, 255));
    for (auto _ : state) g.DrawString("Are you sure you want to quit?", 200, 240);
}

using Job = void (*)(Scene&);

void Register(const std::string& job, int depth, const std::string& who, Job fn) {
    std::string name = job + "/" + std::to_string(depth) + "/" + who;
    bool scalar = who == "scalar";
    benchmark::RegisterBenchmark(name.c_str(), [fn, depth, scalar](benchmark::State& state) {
        Scene& s = SceneFor(depth);
        SurfaceDraw::UseVectorCode(!scalar);
        for (auto _ : state) {
            fn(s);
            benchmark::ClobberMemory();
        }
        SurfaceDraw::UseVectorCode(true);
    });
}

// Records every run so the ratio table can be printed after the console output.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // CPU time: the machine is shared, and waiting for it is not the drawer's cost.
        // With repetitions the median stands for the job (it is reported after the runs).
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Iteration)
                times[r.benchmark_name()] = r.GetAdjustedCPUTime();
            else if (r.aggregate_name == "median")
                times[r.run_name.str()] = r.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;  // nanoseconds
};

void PrintRatios(const std::map<std::string, double>& t) {
    std::printf(
        "\nCPU time as a ratio to pixman's for the same job and depth (lower is faster):\n");
    std::printf("%-8s %-6s %12s %12s %12s %12s %12s\n", "job", "depth", "gemlode", "scalar",
                "pixman", "SDL", "memcpy");
    for (const char* job : {"Board", "Copy", "CopyMem", "Keyed", "Add", "Tint"})
        for (int depth : {16, 32}) {
            std::string base = std::string(job) + "/" + std::to_string(depth) + "/";
            auto at = [&](const char* who) {
                auto it = t.find(base + who);
                return it == t.end() ? 0.0 : it->second;
            };
            double pixman = at("pixman");
            if (pixman <= 0) continue;
            std::printf("%-8s %-6d %12.3f %12.3f %12.3f %12.3f %12.3f   (pixman %.1f us)\n", job,
                        depth, at("gemlode") / pixman, at("scalar") / pixman, 1.0,
                        at("sdl") / pixman, at("memcpy") / pixman, pixman / 1000);
        }
    for (int depth : {16, 32}) {
        auto it = t.find("Frame/" + std::to_string(depth) + "/gemlode");
        if (it != t.end())
            std::printf("Busy frame, %d bits: %.1f us = %.1f%% of the 10 ms tick\n", depth,
                        it->second / 1000, it->second / 1e7 * 100);
        auto text = t.find("Text/" + std::to_string(depth) + "/gemlode");
        if (text != t.end())
            std::printf("One line of SysFont text into the %d-bit screen: %.1f us\n", depth,
                        text->second / 1000);
    }
}

}  // namespace
}  // namespace Varn::Bench

int main(int argc, char** argv) {
    using namespace Varn::Bench;
    for (int depth : {16, 32}) {
        Register("Board", depth, "gemlode", BoardOurs);
        Register("Board", depth, "scalar", BoardOurs);
        Register("Board", depth, "pixman", BoardPixman);
        Register("Board", depth, "sdl", BoardSdl);
        Register("Board", depth, "memcpy", BoardMemcpy);
        Register("Copy", depth, "gemlode", CopyOurs);
        Register("Copy", depth, "pixman", CopyPixman);
        Register("Copy", depth, "sdl", CopySdl);
        Register("Copy", depth, "memcpy", CopyMemcpy);
        Register("CopyMem", depth, "gemlode", CopyMemoryOurs);
        Register("CopyMem", depth, "pixman", CopyMemoryPixman);
        Register("CopyMem", depth, "sdl", CopyMemorySdl);
        Register("CopyMem", depth, "memcpy", CopyMemcpy);
        Register("Keyed", depth, "gemlode", KeyedOurs);
        Register("Keyed", depth, "scalar", KeyedOurs);
        Register("Keyed", depth, "pixman", KeyedPixman);
        Register("Keyed", depth, "sdl", KeyedSdl);
        Register("Keyed", depth, "memcpy", BigMemcpy);
        Register("Add", depth, "gemlode", AddOurs);
        Register("Add", depth, "scalar", AddOurs);
        Register("Add", depth, "pixman", AddPixman);
        Register("Add", depth, "sdl", AddSdl);
        Register("Add", depth, "memcpy", BigMemcpy);
        Register("Tint", depth, "gemlode", TintOurs);
        Register("Tint", depth, "scalar", TintOurs);
        Register("Tint", depth, "pixman", TintPixman);
        Register("Tint", depth, "sdl", TintSdl);
        Register("Tint", depth, "memcpy", BigMemcpy);
        std::string text = "Text/" + std::to_string(depth) + "/gemlode";
        benchmark::RegisterBenchmark(text.c_str(),
                                     [depth](benchmark::State& state) { TextOurs(depth, state); });
        std::string frame = "Frame/" + std::to_string(depth) + "/gemlode";
        benchmark::RegisterBenchmark(frame.c_str(),
                                     [depth](benchmark::State& state) { FrameOurs(depth, state); });
    }
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter.times);
    benchmark::Shutdown();
    return 0;
}
