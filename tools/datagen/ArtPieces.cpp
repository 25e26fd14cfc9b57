// ArtPieces: the small pictures of the image table: bars, board effects,
// dialog parts, option controls, start-tip arrows and cursors.
#include <cmath>

#include "tools/datagen/Artwork.h"
#include "tools/datagen/GemRenderer.h"

namespace Varn::DataGen {

namespace {

constexpr float kPi = 3.14159265f;
const Rgba kGold{0.95f, 0.78f, 0.42f, 1};
const Rgba kInk{0.06f, 0.02f, 0.12f, 1};

// A glossy horizontal bar: vertical gradient with a highlight band on top.
Canvas GlossyBar(int w, int h, Rgba top, Rgba bottom, float radius) {
    Canvas c(w, h);
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    c.FillShape(
        0, 0, w, h,
        [=](float x, float y) { return SdRoundRect(x, y, 0, 0, fw + radius * 2, fh, radius); },
        [=](float, float y) {
            Rgba col = Mix(top, bottom, y / fh);
            float gloss = y < fh * 0.45f ? 0.35f * (1 - y / (fh * 0.45f)) : 0;
            return Mix(col, Rgba{1, 1, 1, 1}, gloss);
        });
    return c;
}

Canvas TitleGreenBar() {
    return GlossyBar(340, 24, {0.45f, 1.0f, 0.35f, 1}, {0.05f, 0.55f, 0.12f, 1}, 10);
}

Canvas TimerBar() {
    Canvas c = GlossyBar(340, 25, {1, 1, 1, 1}, {0.66f, 0.66f, 0.7f, 1}, 10);
    for (int x = 34; x < 340; x += 34)  // faint notches mark tenths of the bar
        for (int y = 3; y < 22; ++y) c.At(x, y) = Scaled(c.At(x, y), 0.86f);
    return c;
}

Canvas WaitBar() {
    Canvas c(32, 16);
    c.Paint(0, 0, 32, 16, [](float x, float y) {
        float stripe = std::fmod(x + y + 32.0f, 16.0f) < 8 ? 1.0f : 0.0f;
        Rgba a{0.3f, 0.7f, 1.0f, 1}, b{0.1f, 0.25f, 0.6f, 1};
        Rgba col = Mix(b, a, stripe);
        float shade = 1.0f - 0.35f * std::fabs(y - 6) / 10;
        return Scaled(col, shade);
    });
    return c;
}

// The selection cursor: four glowing corner brackets, breathing over six cells.
Canvas Target() {
    Canvas c(312, 52);
    for (int f = 0; f < 6; ++f) {
        float x0 = 52.0f * f, pulse = 0.5f + 0.5f * std::cos(2 * kPi * f / 6);
        float inset = 1.0f + pulse * 1.5f;
        c.Paint(static_cast<int>(x0), 0, 52, 52, [=](float px, float py) {
            float u = px - x0, v = py;
            float d =
                std::fabs(SdRoundRect(u, v, inset, inset, 52 - 2 * inset, 52 - 2 * inset, 8)) -
                1.2f;
            float cu = std::min(u, 52 - u), cv = std::min(v, 52 - v);
            bool corner = cu < 17 && cv < 17;
            if (!corner) return Rgba{};
            float core = Coverage(d);
            float glow = std::exp(-std::max(0.0f, d) / 2.0f) * 0.5f;
            Rgba col{1, 0.95f - 0.2f * pulse, 0.55f, 1};
            return Rgba{col.r, col.g, col.b, Clamp01(core + glow * (0.6f + 0.4f * pulse))};
        });
    }
    return c;
}

// A four-pointed twinkle that grows and fades over 14 cells (additive: black is empty).
// It marks the hint, so it is bold: broad rays long enough to reach past the gem's
// rim and a wide warm halo, so that even over a white gem (which additive light
// cannot brighten) the rays and halo show on the board around it.
Canvas Sparkle() {
    Canvas c(560, 40, {0, 0, 0, 1});
    for (int f = 0; f < 14; ++f) {
        float x0 = 40.0f * f, life = 0.35f + 0.65f * std::sin(kPi * (f + 0.5f) / 14);
        float angle = f * 0.12f;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                float u = x + 0.5f - 20, v = y + 0.5f - 20;
                float ru = u * std::cos(angle) + v * std::sin(angle);
                float rv = -u * std::sin(angle) + v * std::cos(angle);
                float r = std::hypot(u, v);
                float reach = 20 * life + 4;
                float rays = std::exp(-std::fabs(ru) * 0.55f) * std::exp(-std::fabs(rv) / reach) +
                             std::exp(-std::fabs(rv) * 0.55f) * std::exp(-std::fabs(ru) / reach);
                float core = std::exp(-r * r / (14 * life + 2));
                float halo = 0.45f * std::exp(-r / (5 * life + 1));
                float window = Clamp01((19.0f - std::max(std::fabs(u), std::fabs(v))) / 3.0f);
                float k = Clamp01((rays * 1.6f + core + halo) * life * window);
                c.At(static_cast<int>(x0) + x, y) = {k, k * 0.9f, k * 0.55f + 0.45f * k * k, 1};
            }
    }
    return c;
}

// The level-up whirl: a rotating spiral galaxy of light over nine frames.
Canvas BlackHole() {
    Canvas c(2304, 256, {0, 0, 0, 1});
    for (int f = 0; f < 9; ++f)
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                float u = x + 0.5f - 128, v = y + 0.5f - 128;
                float r = std::hypot(u, v) / 128, a = std::atan2(v, u);
                if (r >= 1) continue;
                float phase = 2 * kPi * f / 9 / 3;  // three arms: one third turn per cycle
                float arms = 0.5f + 0.5f * std::cos(3 * (a + phase) + 7.0f * std::log(r + 0.05f));
                float ring = std::exp(-std::pow((r - 0.2f) / 0.08f, 2.0f));
                float fade = std::pow(1 - r, 1.5f) * SmoothStep(0.05f, 0.2f, r);
                float k = std::pow(arms, 2.0f) * fade + ring * 0.9f;
                c.At(256 * f + x, y) = {Clamp01(k * 0.75f), Clamp01(k * 0.45f), Clamp01(k * 1.0f),
                                        1};
            }
    return c;
}

// Darkens the board centre while the whirl runs: black, alpha falling off with radius.
Canvas HoleMask() {
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float r = std::hypot(x + 0.5f - 128, y + 0.5f - 128) / 128;
            c.At(x, y) = {0, 0, 0, 1 - SmoothStep(0.1f, 1.0f, r)};
        }
    return c;
}

// The electric line of the new-level wipe; periodic in x so the tiles join.
Canvas Elect() {
    Canvas c(128, 16, {0, 0, 0, 1});
    for (int x = 0; x < 128; ++x) {
        float centre = 8 + 4.5f * (FractalNoise(x / 16.0f, 0.5f, 77, 3, 8) - 0.5f) * 2;
        for (int y = 0; y < 16; ++y) {
            float d = std::fabs(y + 0.5f - centre);
            float window = Clamp01(std::min(y, 15 - y) / 3.0f);  // black top and bottom rows
            float k = (std::exp(-d * d / 1.2f) + 0.35f * std::exp(-d / 2.5f)) * window;
            c.At(x, y) = {Clamp01(k * 0.7f), Clamp01(k * 0.9f), Clamp01(k * 1.1f), 1};
        }
    }
    return c;
}

// The dialog frame: 3x3 cells of 32; edges depend only on the distance to the rim,
// so the edge and centre cells tile seamlessly.
Canvas DialogBox() {
    Canvas c(96, 96);
    c.Paint(0, 0, 96, 96, [](float x, float y) {
        float d = SdRoundRect(x, y, 1, 1, 94, 94, 14);
        if (d > 0.5f) return Rgba{};
        float depth = -d;
        Rgba col;
        if (depth < 2.5f)
            col = kGold;
        else if (depth < 4.0f)
            col = {0.35f, 0.2f, 0.08f, 1};
        else  // opaque: nothing of the screen below shows behind the text and fields
            col = Mix(Rgba{0.28f, 0.14f, 0.46f, 1}, Rgba{0.1f, 0.04f, 0.2f, 1},
                      Clamp01((depth - 4) / 12));
        col.a *= Coverage(d);
        return col;
    });
    return c;
}

Canvas BoxButton() {
    Canvas c(48, 36);
    c.FillShape(
        0, 0, 48, 36, [](float x, float y) { return SdRoundRect(x, y, 0.5f, 0.5f, 47, 35, 10); },
        [](float, float y) {
            return Mix(kGold, Rgba{0.5f, 0.32f, 0.1f, 1}, y / 36);
        });
    c.FillShape(
        0, 0, 48, 36, [](float x, float y) { return SdRoundRect(x, y, 2.5f, 2.5f, 43, 31, 8); },
        [](float, float y) {
            Rgba col = Mix(Rgba{0.45f, 0.25f, 0.75f, 1}, Rgba{0.16f, 0.06f, 0.36f, 1}, y / 36);
            return Mix(col, Rgba{1, 1, 1, 1}, y < 16 ? 0.25f * (1 - y / 16) : 0);
        });
    return c;
}

Canvas EditBox() {
    Canvas c(96, 32);
    auto field = [](float x, float y) { return SdRoundRect(x, y, 1, 1, 94, 30, 10); };
    c.FillShape(0, 0, 96, 32, field, [](float, float y) {
        return Mix(kGold, Rgba{0.5f, 0.35f, 0.12f, 1}, y / 32);
    });
    c.FillShape(
        0, 0, 96, 32, [](float x, float y) { return SdRoundRect(x, y, 3, 3, 90, 26, 8); },
        [](float, float y) {
            return Mix(Rgba{0.02f, 0.01f, 0.05f, 1}, Rgba{0.12f, 0.07f, 0.22f, 1}, y / 32);
        });
    return c;
}

Canvas SliderTrack() {
    Canvas c(48, 16);
    c.FillShape(
        0, 0, 48, 16, [](float x, float y) { return SdRoundRect(x, y, 1, 3, 46, 10, 5); },
        [](float, float y) {
            return Mix(Rgba{0.03f, 0.01f, 0.08f, 1}, Rgba{0.3f, 0.2f, 0.45f, 1}, y / 16);
        });
    c.FillShape(
        0, 0, 48, 16, [](float x, float y) { return SdRoundRect(x, y, 3, 6, 42, 4, 2); },
        [](float, float) {
            return Rgba{0.55f, 0.85f, 1, 0.5f};
        });
    return c;
}

Canvas SliderThumb() {
    Canvas c(32, 28);
    c.FillShape(
        0, 0, 32, 28, [](float x, float y) { return SdCircle(x, y, 16, 14, 12.5f); },
        [](float, float y) {
            return Mix(kGold, Rgba{0.45f, 0.28f, 0.08f, 1}, y / 28);
        });
    c.FillShape(
        0, 0, 32, 28, [](float x, float y) { return SdCircle(x, y, 16, 14, 9.5f); },
        [](float x, float y) {
            float k = Clamp01(1 - std::hypot(x - 13, y - 10) / 14);
            return Mix(Rgba{0.1f, 0.35f, 0.75f, 1}, Rgba{0.75f, 0.95f, 1, 1}, k);
        });
    return c;
}

Canvas CheckBox() {
    Canvas c(62, 32);
    for (int half = 0; half < 2; ++half) {
        float x0 = 31.0f * half;
        c.FillShape(
            static_cast<int>(x0), 0, 31, 32,
            [=](float x, float y) { return SdRoundRect(x, y, x0 + 3, 4, 25, 25, 6); },
            [](float, float y) {
                return Mix(kGold, Rgba{0.5f, 0.32f, 0.1f, 1}, y / 32);
            });
        c.FillShape(
            static_cast<int>(x0), 0, 31, 32,
            [=](float x, float y) { return SdRoundRect(x, y, x0 + 5.5f, 6.5f, 20, 20, 4); },
            [](float, float y) {
                return Mix(Rgba{0.04f, 0.02f, 0.1f, 1}, Rgba{0.2f, 0.12f, 0.35f, 1}, y / 32);
            });
        if (half == 0) {  // the left half is the checked look
            auto tick = [=](float x, float y) {
                return std::min(SdSegment(x, y, x0 + 9, 16, x0 + 14, 22),
                                SdSegment(x, y, x0 + 14, 22, x0 + 25, 7)) -
                       2.2f;
            };
            c.FillShape(static_cast<int>(x0), 0, 31, 32, tick, [](float, float y) {
                return Mix(Rgba{0.6f, 1, 0.5f, 1}, Rgba{0.1f, 0.7f, 0.2f, 1}, y / 32);
            });
        }
    }
    return c;
}

// Filled polygon with a dark outline and a vertical gradient.
void OutlinedPolygon(Canvas& c, const std::vector<float>& poly, Rgba top, Rgba bottom,
                     float outline) {
    float minY = 1e9f, maxY = -1e9f;
    for (size_t i = 1; i < poly.size(); i += 2) {
        minY = std::min(minY, poly[i]);
        maxY = std::max(maxY, poly[i]);
    }
    c.FillShape(
        0, 0, c.Width(), c.Height(),
        [&](float x, float y) { return SdPolygon(x, y, poly) - outline; },
        [](float, float) { return kInk; });
    c.FillShape(
        0, 0, c.Width(), c.Height(), [&](float x, float y) { return SdPolygon(x, y, poly); },
        [=](float, float y) { return Mix(top, bottom, Clamp01((y - minY) / (maxY - minY))); });
}

// Two-way arrow under the suggested pair (two gem squares wide).
Canvas Swapper1() {
    Canvas c(96, 24);
    std::vector<float> arrow = {3,  12, 17, 3,  17, 8.5f,  79, 8.5f,  79, 3,
                                93, 12, 79, 21, 79, 15.5f, 17, 15.5f, 17, 21};
    OutlinedPolygon(c, arrow, {1, 0.97f, 0.7f, 1}, {0.95f, 0.6f, 0.1f, 1}, 1.8f);
    return c;
}

// Pointer above a gem, its tip at the gem's top centre.
Canvas Swapper2() {
    Canvas c(59, 40);
    std::vector<float> arrow = {20, 3, 39, 3, 39, 20, 50, 20, 29.5f, 38, 9, 20, 20, 20};
    OutlinedPolygon(c, arrow, {1, 0.97f, 0.7f, 1}, {0.95f, 0.6f, 0.1f, 1}, 1.8f);
    return c;
}

}  // namespace

// Cursor pictures: the game draws them centred on the pointer, so each points at
// its own centre.
namespace {

Canvas ArrowCursor() {
    Canvas c(32, 32);
    std::vector<float> arrow = {16, 16, 16, 31, 19.5f, 27.5f, 22.5f, 31.5f, 25, 30, 22, 26, 27, 26};
    OutlinedPolygon(c, arrow, {1, 1, 1, 1}, {0.8f, 0.85f, 1, 1}, 1.3f);
    return c;
}

// A hand: palm plus fingers; extended index finger when pointing.
Canvas Hand(float tipX, float tipY, bool pointing, int height = 32) {
    Canvas c(32, height);
    auto shape = [=](float x, float y) {
        float palm = SdRoundRect(x, y, tipX - 4, tipY + 10, 15, 12, 4);
        float index = pointing ? SdRoundRect(x, y, tipX - 2, tipY, 5, 16, 2.5f)
                               : SdRoundRect(x, y, tipX - 2, tipY + 5, 4, 9, 2);
        float others = 1e9f;
        for (int k = 0; k < 3; ++k)
            others = std::min(others, SdRoundRect(x, y, tipX + 2.5f + 3.5f * k,
                                                  tipY + (pointing ? 9 : 5), 3.5f, 8, 1.7f));
        float thumb = SdSegment(x, y, tipX - 4, tipY + 14, tipX - 8, tipY + 10) - 2;
        return std::min({palm, index, others, thumb});
    };
    c.FillShape(
        0, 0, 32, height, [&](float x, float y) { return shape(x, y) - 1.3f; },
        [](float, float) { return kInk; });
    c.FillShape(0, 0, 32, height, shape, [=](float, float y) {
        return Mix(Rgba{1, 1, 1, 1}, Rgba{0.85f, 0.85f, 0.95f, 1}, y / height);
    });
    return c;
}

Canvas TextCursor() {
    Canvas c(32, 32);
    auto beam = [](float x, float y) {
        return std::min({SdSegment(x, y, 16, 8, 16, 24), SdSegment(x, y, 12, 7, 20, 7),
                         SdSegment(x, y, 12, 25, 20, 25)}) -
               1.0f;
    };
    c.FillShape(
        0, 0, 32, 32, [&](float x, float y) { return beam(x, y) - 1.2f; },
        [](float, float) { return kInk; });
    c.FillShape(0, 0, 32, 32, beam, [](float, float) { return Rgba{1, 1, 1, 1}; });
    return c;
}

Canvas WindowIcon() {
    Canvas c(64, 64);
    c.FillShape(
        0, 0, 64, 64, [](float x, float y) { return SdRoundRect(x, y, 1, 1, 62, 62, 14); },
        [](float, float y) {
            return Mix(Rgba{0.3f, 0.16f, 0.55f, 1}, Rgba{0.08f, 0.03f, 0.18f, 1}, y / 64);
        });
    Canvas gem = RenderGemSpin(3, 0);
    c.Draw(gem, 8, 8);
    return c;
}

}  // namespace

std::vector<Picture> DrawSmallPieces() {
    std::vector<Picture> p;
    p.push_back({"titlegreenbar2", TitleGreenBar()});
    p.push_back({"waitbar", WaitBar()});
    p.push_back({"timerbar", TimerBar()});
    p.push_back({"target1", Target()});
    p.push_back({"sparkle", Sparkle()});
    p.push_back({"blackhole", BlackHole()});
    p.push_back({"holemask", HoleMask(), StoreAs::GifWithMask});
    p.push_back({"elect", Elect()});
    p.push_back({"dialogbox2", DialogBox()});
    p.push_back({"boxbutton2", BoxButton()});
    p.push_back({"editbox", EditBox()});
    p.push_back({"slider-track", SliderTrack()});
    p.push_back({"slider-thumb", SliderThumb()});
    p.push_back({"checkbox1", CheckBox()});
    p.push_back({"swapper1", Swapper1()});
    p.push_back({"swapper2", Swapper2()});
    p.push_back({"cursor1", ArrowCursor()});
    p.push_back({"pointer2", Hand(15.5f, 28, true, 56)});  // fingertip at the centre
    p.push_back({"overhand", Hand(12, 6, false)});
    p.push_back({"typer", TextCursor()});
    return p;
}

std::vector<Picture> DrawResourcePictures() {
    // Hot spots are written beside them (resources/cursors.txt): the index fingertip
    // of the finger and the palm centre of the grab.
    std::vector<Picture> p;
    p.push_back({"IDC_FINGER", Hand(14, 2, true)});
    p.push_back({"IDC_DRAGGING", Hand(10, 4, false)});
    p.push_back({"IDI_MAIN_ICON", WindowIcon()});
    return p;
}

std::string CursorHotSpots() {
    return "IDC_FINGER 14 2\nIDC_DRAGGING 15 14\n";
}

}  // namespace Varn::DataGen
