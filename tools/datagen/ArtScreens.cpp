// ArtScreens: the two full-screen pictures (title and game screen), the
// left-panel buttons they show, and the checkerboard textures.
#include <cmath>

#include "tools/datagen/Artwork.h"
#include "tools/datagen/GemRenderer.h"
#include "tools/datagen/Text.h"

namespace Varn::DataGen {

namespace {

constexpr float kPi = 3.14159265f;
const Rgba kGold{0.95f, 0.78f, 0.42f, 1};
const Rgba kGoldDark{0.45f, 0.3f, 0.12f, 1};
const Rgba kInk{0.06f, 0.02f, 0.12f, 1};

// The deep violet backdrop with soft light blobs and fine grain.
void PaintBackdrop(Canvas& c, uint32_t seed) {
    c.Paint(0, 0, c.Width(), c.Height(), [&](float x, float y) {
        float t = y / c.Height();
        Rgba top{0.16f, 0.07f, 0.28f, 1}, bottom{0.04f, 0.02f, 0.1f, 1};
        Rgba col = Mix(top, bottom, t);
        float glow = std::exp(-((x - 420) * (x - 420) + (y - 90) * (y - 90)) / 60000.0f) * 0.18f;
        float grain = (FractalNoise(x / 40, y / 40, seed, 4) - 0.5f) * 0.06f;
        return Rgba{col.r + glow * 0.7f + grain, col.g + glow * 0.3f + grain, col.b + glow + grain,
                    1};
    });
    Random rnd(seed);
    for (int i = 0; i < 38; ++i) {  // out-of-focus sparkles
        float cx = rnd.Unit() * c.Width(), cy = rnd.Unit() * c.Height();
        float r = 2 + rnd.Unit() * 9, a = 0.04f + rnd.Unit() * 0.1f;
        Rgba tint = GemColour(static_cast<int>(rnd.Next() % 7));
        c.FillShape(
            static_cast<int>(cx - r - 2), static_cast<int>(cy - r - 2), static_cast<int>(2 * r + 5),
            static_cast<int>(2 * r + 5),
            [=](float x, float y) { return SdCircle(x, y, cx, cy, r); },
            [=](float, float) {
                return Rgba{tint.r, tint.g, tint.b, a};
            });
    }
}

// A framed, rounded plate: gold rim, dark glassy inside.
void PaintPlate(Canvas& c, float x, float y, float w, float h, float radius, Rgba inner) {
    c.FillShape(
        static_cast<int>(x) - 3, static_cast<int>(y) - 3, static_cast<int>(w) + 7,
        static_cast<int>(h) + 7,
        [=](float px, float py) {
            return SdRoundRect(px, py, x - 2, y - 2, w + 4, h + 4, radius + 2);
        },
        [=](float, float py) { return Mix(kGold, kGoldDark, Clamp01((py - y) / h)); });
    c.FillShape(
        static_cast<int>(x), static_cast<int>(y), static_cast<int>(w) + 1, static_cast<int>(h) + 1,
        [=](float px, float py) { return SdRoundRect(px, py, x, y, w, h, radius); },
        [=](float, float py) {
            float t = Clamp01((py - y) / h);
            return Mix(Scaled(inner, 0.55f), inner, t);
        });
}

void DrawCentredText(Canvas& c, const FontFace& face, const std::string& text,
                     const TextStyle& style, float cx, int baseline) {
    int textBaseline = 0;
    Canvas t = RenderText(face, text, style, &textBaseline);
    c.Draw(t, static_cast<int>(std::lround(cx - t.Width() / 2.0f)), baseline - textBaseline);
}

TextStyle LabelStyle() {
    return {{1, 1, 1, 1}, {0.86f, 0.88f, 0.95f, 1}, kInk, 2, 0.3f, {}, 0, 0};
}

}  // namespace

const std::vector<PanelButton>& PanelButtons() {
    static const std::vector<PanelButton> buttons = {{18, 142, 156, 41, "NEW GAME"},
                                                     {18, 185, 78, 31, "NORMAL"},
                                                     {96, 185, 78, 31, "TIMED"},
                                                     {18, 241, 156, 41, "OPTIONS"},
                                                     {18, 405, 156, 40, "QUIT"}};
    return buttons;
}

Canvas DrawPanelButton(int w, int h, const std::string& label, ButtonLook look) {
    Canvas c(w, h);
    Rgba top{0.36f, 0.2f, 0.62f, 1}, bottom{0.16f, 0.07f, 0.34f, 1}, rim = kGold;
    if (look == ButtonLook::Pushed) {
        top = {0.12f, 0.05f, 0.26f, 1};
        bottom = {0.28f, 0.14f, 0.5f, 1};
        rim = {0.75f, 0.58f, 0.3f, 1};
    } else if (look == ButtonLook::Selected) {
        top = {0.2f, 0.75f, 0.85f, 1};
        bottom = {0.04f, 0.34f, 0.5f, 1};
        rim = {0.75f, 1.0f, 1.0f, 1};
    }
    float fw = static_cast<float>(w), fh = static_cast<float>(h);
    c.FillShape(
        0, 0, w, h, [=](float x, float y) { return SdRoundRect(x, y, 1, 1, fw - 2, fh - 2, 9); },
        [=](float, float y) { return Mix(rim, Scaled(rim, 0.45f), y / fh); });
    c.FillShape(
        0, 0, w, h, [=](float x, float y) { return SdRoundRect(x, y, 3, 3, fw - 6, fh - 6, 7); },
        [=](float, float y) { return Mix(top, bottom, y / fh); });
    if (look != ButtonLook::Pushed)  // glossy upper half
        c.FillShape(
            0, 0, w, h / 2 + 1,
            [=](float x, float y) { return SdRoundRect(x, y, 5, 4, fw - 10, fh / 2 - 3, 6); },
            [=](float, float y) {
                return Rgba{1, 1, 1, 0.28f * (1 - y / (fh / 2))};
            });
    const FontFace face("League Spartan", "Bold", 17);
    const FontFace small("League Spartan", "Bold", 14);
    const FontFace& f = h >= 40 ? face : small;
    int shift = look == ButtonLook::Pushed ? 1 : 0;
    int baseline = (h + f.Ascender() - f.Descender()) / 2 + 2 + shift;
    Canvas shade(w, h);
    DrawCentredText(shade, f, label, LabelStyle(), w / 2.0f + shift, baseline);
    c.Draw(shade, 0, 0, look == ButtonLook::Pushed ? 0.85f : 1.0f);
    return c;
}

Canvas DrawHintBadge(bool lit) {
    Canvas c(53, 73);
    Rgba rimTop = lit ? Rgba{1, 0.95f, 0.6f, 1} : kGold;
    Rgba fillTop = lit ? Rgba{0.95f, 0.75f, 0.2f, 1} : Rgba{0.3f, 0.17f, 0.55f, 1};
    Rgba fillBottom = lit ? Rgba{0.6f, 0.3f, 0.05f, 1} : Rgba{0.12f, 0.05f, 0.28f, 1};
    if (lit)  // outer glow
        c.FillShape(
            0, 0, 53, 73,
            [](float x, float y) { return SdRoundRect(x, y, 0, 0, 53, 73, 16) - 0.5f; },
            [](float x, float y) {
                float d = -SdRoundRect(x, y, 0, 0, 53, 73, 16);
                return Rgba{1, 0.85f, 0.3f, 0.55f * Clamp01(1 - d / 6)};
            });
    c.FillShape(
        0, 0, 53, 73, [](float x, float y) { return SdRoundRect(x, y, 3, 3, 47, 67, 14); },
        [=](float, float y) { return Mix(rimTop, Scaled(rimTop, 0.45f), y / 73); });
    c.FillShape(
        0, 0, 53, 73, [](float x, float y) { return SdRoundRect(x, y, 6, 6, 41, 61, 12); },
        [=](float, float y) { return Mix(fillTop, fillBottom, y / 73); });
    // The window in the middle: the hint's diamond above, the move bonus ("+%d",
    // baseline 350 on screen, 47 here) below it.
    c.FillShape(
        0, 0, 53, 73, [](float x, float y) { return SdRoundRect(x, y, 9, 9, 35, 43, 10); },
        [=](float, float y) {
            return lit ? Rgba{1, 1, 0.85f, 0.9f}
                       : Rgba{0.04f, 0.02f, 0.1f, 0.95f * (0.75f + (y - 9) / 170)};
        });
    std::vector<float> diamond = {26.5f, 13, 33, 21.5f, 26.5f, 30, 20, 21.5f};
    c.FillShape(
        0, 0, 53, 73, [&](float x, float y) { return SdPolygon(x, y, diamond); },
        [=](float x, float y) {
            float k = 0.6f + 0.4f * Clamp01((30 - y + (26 - x) * 0.5f) / 16);
            return lit ? Rgba{1.0f * k, 0.6f * k, 0.1f * k, 1}
                       : Rgba{0.55f * k, 0.85f * k, 1.0f * k, 0.9f};
        });
    const FontFace face("League Spartan", "Bold", 13);
    TextStyle style = LabelStyle();
    style.outlineRadius = 1;
    DrawCentredText(c, face, "HINT", style, 26.5f, 65);
    return c;
}

Canvas DrawGameScreen() {
    Canvas c(640, 480);
    PaintBackdrop(c, 7);
    // Left panel.
    c.Paint(0, 0, 190, 480, [](float x, float y) {
        Rgba p = Mix(Rgba{0.17f, 0.09f, 0.3f, 1}, Rgba{0.07f, 0.03f, 0.15f, 1}, y / 480);
        float edge = Clamp01((x - 184) / 6);
        return Mix(p, kGold, edge * 0.8f);
    });
    const FontFace logoFace("League Spartan", "Bold", 34);
    TextStyle logo{
        {1, 0.93f, 0.65f, 1}, {0.9f, 0.55f, 0.15f, 1}, kInk, 2, 0.4f, {0, 0, 0, 0.6f}, 2, 0};
    DrawCentredText(c, logoFace, "Gemlode", logo, 94, 50);
    const FontFace labelFace("League Spartan", "Bold", 12);
    TextStyle label{
        {0.95f, 0.85f, 0.6f, 1}, {0.8f, 0.65f, 0.4f, 1}, {}, 0, 0, {0, 0, 0, 0.7f}, 1, 1};
    DrawCentredText(c, labelFace, "SCORE", label, 93, 70);
    PaintPlate(c, 20, 75, 146, 42, 9, Rgba{0.1f, 0.16f, 0.3f, 1});
    for (const PanelButton& b : PanelButtons())
        c.Draw(DrawPanelButton(b.w, b.h, b.label, ButtonLook::Resting), b.x, b.y);
    c.Draw(DrawHintBadge(false), 64, 303);
    // Board window: gold frame, transparent inside so the checkerboard shows.
    c.FillShape(
        186, 0, 440, 440, [](float x, float y) { return SdRoundRect(x, y, 192, 6, 428, 428, 10); },
        [](float x, float y) { return Mix(kGold, kGoldDark, Clamp01((x - 192 + y - 6) / 856)); });
    // Inside the window: fully clear except a thin inner shadow along the rim. The
    // window is the 8 x 8 squares exactly (202-609, 16-423): the board also paints a
    // ring of squares around them, which the frame must hide.
    for (int y = 0; y < 480; ++y)
        for (int x = 190; x < 625; ++x) {
            float d = SdRoundRect(x + 0.5f, y + 0.5f, 202, 16, 408, 408, 4);
            if (d >= 0.5f) continue;
            Rgba& p = c.At(x, y);
            float inside = Clamp01(0.5f - d);
            float shadow = 0.5f * std::exp(std::min(0.0f, d) / 0.8f);
            Rgba rim{0.02f, 0.0f, 0.05f, shadow};
            p = Mix(p, rim, inside);
        }
    // Bonus bar slot and the level plate.
    // The labels keep clear of the panel's edge (190), the bar's rim (235) and the
    // board's frame (bottom 434): narrower and smaller than the panel's, and the level
    // plate starts a little lower to leave "LEVEL" its line.
    const FontFace narrowLabelFace("League Spartan", "Bold", 11, 84);
    const FontFace smallLabelFace("League Spartan", "Bold", 9);
    DrawCentredText(c, narrowLabelFace, "BONUS", label, 212.5f, 461);
    PaintPlate(c, 235, 442, 344, 29, 7, Rgba{0.08f, 0.05f, 0.16f, 1});
    DrawCentredText(c, smallLabelFace, "LEVEL", label, 606, 445);
    PaintPlate(c, 589, 448, 34, 23, 7, Rgba{1, 0.98f, 0.92f, 1});
    return c;
}

Canvas DrawTitleScreen() {
    Canvas c(640, 480);
    PaintBackdrop(c, 3);
    // Light rays behind the name.
    c.Paint(0, 0, 640, 330, [](float x, float y) {
        float a = std::atan2(y - 150, x - 320);
        float ray = std::pow(0.5f + 0.5f * std::cos(a * 14), 6.0f);
        float fall = std::exp(-std::hypot(x - 320, y - 150) / 190);
        return Rgba{1, 0.8f, 0.5f, ray * fall * 0.22f};
    });
    const FontFace big("League Spartan", "Bold", 100);
    TextStyle name{
        {1, 0.97f, 0.8f, 1}, {0.95f, 0.55f, 0.12f, 1}, kInk, 4, 0.5f, {0, 0, 0, 0.6f}, 6, 2};
    DrawCentredText(c, big, "Gemlode", name, 320, 180);
    const FontFace tagFace("Dosis", "Bold", 20);
    TextStyle tag{{0.8f, 0.9f, 1, 1}, {0.6f, 0.75f, 1, 1}, {}, 0, 0, {0, 0, 0, 0.8f}, 1, 3};
    DrawCentredText(c, tagFace, "A GEM-SWAPPING PUZZLE", tag, 250, 220);
    for (int k = 0; k < kGemKinds; ++k) {
        int x = 320 - 3 * 62 + 62 * k - 24;
        int y = 240 + static_cast<int>(std::lround(10 * std::sin(k * kPi / 3)));
        Canvas gem = RenderGemSpin(k, 0);
        Canvas shadow = gem.Blurred(3);
        for (int j = 0; j < shadow.Height(); ++j)
            for (int i = 0; i < shadow.Width(); ++i)
                shadow.At(i, j) = {0, 0, 0, shadow.At(i, j).a * 0.6f};
        c.Draw(shadow, x + 3, y + 6);
        c.Draw(gem, x, y);
    }
    // A dark haze behind the grey version text (centred at 537, baseline 221).
    c.Paint(440, 188, 200, 56, [](float x, float y) {
        float d = std::pow((x - 537) / 90, 2.0f) + std::pow((y - 215) / 22, 2.0f);
        return Rgba{0.02f, 0.01f, 0.05f, 0.9f * Clamp01((1.3f - d) / 0.9f)};
    });
    PaintPlate(c, 139, 310, 348, 32, 9, Rgba{0.06f, 0.04f, 0.14f, 1});
    // A dark band behind the play link keeps its green legible.
    c.Paint(0, 374, 640, 48, [](float x, float y) {
        float a = 0.5f * std::exp(-std::pow((y - 398) / 18, 2.0f)) *
                  (1 - std::pow((x - 320) / 330, 2.0f));
        return Rgba{0, 0, 0, a};
    });
    return c;
}

Canvas DrawCheckerTextures() {
    Canvas c(510, 51);
    for (int t = 0; t < 5; ++t)
        for (int half = 0; half < 2; ++half) {
            int x0 = 102 * t + 51 * half;
            float base = half == 0 ? 0.9f : 0.66f;
            c.Paint(x0, 0, 51, 51, [=](float x, float y) {
                float u = x - x0, v = y;
                float pattern = 0;
                switch (t) {
                    case 0:
                        pattern = (FractalNoise(u / 14, v / 14, 11 + half, 4) - 0.5f) * 0.12f;
                        break;
                    case 1:
                        pattern = (FractalNoise(u / 30, v / 3, 21 + half, 3) - 0.5f) * 0.12f;
                        break;
                    case 2:
                        pattern =
                            0.04f * std::cos((u + v) * kPi / 8.5f) * std::cos((u - v) * kPi / 8.5f);
                        break;
                    case 3:
                        pattern = (ValueNoise(u / 2.2f, v / 2.2f, 31 + half) - 0.5f) * 0.1f;
                        break;
                    default: {
                        float r = std::hypot(u - 25.5f, v - 25.5f);
                        pattern = 0.04f * std::cos(r * kPi / 6);
                    }
                }
                // A soft bevel: light top-left edge, darker bottom-right edge.
                float edge = std::min(std::min(u, v), std::min(51 - u, 51 - v));
                float bevel =
                    edge < 3
                        ? ((u < v ? u : v) < (51 - u < 51 - v ? 51 - u : 51 - v) ? 0.08f : -0.1f) *
                              (1 - edge / 3)
                        : 0;
                float k = Clamp01(base + pattern + bevel);
                return Rgba{k, k, k, 1};
            });
        }
    return c;
}

}  // namespace Varn::DataGen
