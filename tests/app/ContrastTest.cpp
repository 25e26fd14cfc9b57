// WCAG contrast of the fixed texts on the real screens: glyph fill against the mean art beside.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "AppHarness.h"
#include "board/Board.h"
#include "board/ImageColor.h"
#include "graphics/MemoryImage.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

double Luminance(Color c) {
    auto channel = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
}

double Ratio(double a, double b) {
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

struct TextOnArt {
    const char* label;
    Color colour;
    Rect text;
    Rect behind;
};

std::vector<Color> Pixels(AppHarness& h, const Rect& r) {
    auto* screen = dynamic_cast<MemoryImage*>(h.app->GetWidgetManager()->GetScreenImage());
    std::vector<Color> out;
    for (int y = r.y; screen && y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) {
            uint32_t p = screen->GetBits()[y * screen->GetWidth() + x];
            out.emplace_back(p & 255, p >> 8 & 255, p >> 16 & 255);
        }
    return out;
}

// Thin strokes are mostly edge pixels: the glyph's own fill is near the far end.
double TextLuminance(AppHarness& h, const TextOnArt& t, bool lighterThanArt) {
    std::vector<double> found;
    const int top = std::max({t.colour.red, t.colour.green, t.colour.blue, 1});
    for (Color c : Pixels(h, t.text)) {
        double k = double(std::max({c.red, c.green, c.blue})) / top;
        bool match = top == 1 ? c.red + c.green + c.blue < 30 : k >= 0.5 && k <= 1.02;
        match = match && std::abs(c.red - k * t.colour.red) < 14 &&
                std::abs(c.green - k * t.colour.green) < 14 &&
                std::abs(c.blue - k * t.colour.blue) < 14;
        if (match) found.push_back(Luminance(c));
    }
    if (found.empty()) return -1;
    std::sort(found.begin(), found.end());
    return found[lighterThanArt ? found.size() * 9 / 10 : found.size() / 10];
}

void ExpectReadable(AppHarness& h, const std::vector<TextOnArt>& texts) {
    for (const TextOnArt& t : texts) {
        std::vector<Color> behind = Pixels(h, t.behind);
        double art = 0;
        for (Color c : behind) art += Luminance(c) / behind.size();
        double text = TextLuminance(h, t, Luminance(t.colour) > art);
        ASSERT_GE(text, 0) << t.label << ": no pixel of its colour";
        EXPECT_GE(Ratio(text, art), 4.5) << t.label;
    }
}

TEST(ContrastTest, EveryFixedTextStandsOutFromTheArtBehindIt) {
    AppHarness h;
    h.Start();
    h.Tick(8);
    ExpectReadable(
        h, {{"title: version", Color(128, 128, 128), {510, 208, 55, 15}, {510, 203, 55, 3}},
            {"title: play link", Color(32, 255, 32), {225, 390, 190, 16}, {225, 377, 190, 4}}});
    h.StartPlaying();
    h.Tick(20);
    h.app->CloseDialog(9);
    ExpectReadable(h, {{"game: score", Color(173, 231, 255), {50, 85, 90, 25}, {30, 80, 12, 30}},
                       {"game: level", Color(0, 0, 0), {598, 452, 16, 15}, {592, 452, 4, 15}}});
    h.app->GetBoard()->score = 850;
    h.app->GetBoard()->state = BoardState::GameOverShown;
    h.app->ShowGameOver();
    ASSERT_TRUE(h.TickUntil([&] { return h.app->GetDialog(8) != nullptr; }, 200));
    ExpectReadable(
        h, {{"name dialog: body", Color(255, 255, 0), {300, 88, 200, 50}, {300, 142, 200, 8}},
            {"name dialog: header", Color(255, 255, 255), {350, 55, 110, 20}, {300, 50, 40, 20}},
            {"name dialog: button", Color(255, 255, 255), {320, 227, 40, 14}, {285, 227, 20, 14}}});
    h.app->ButtonClicked(3008);
    h.Tick(2);
    ExpectReadable(
        h, {{"game over: title", Color(255, 0, 177), {350, 30, 120, 18}, {300, 20, 220, 6}},
            {"game over: statistics", Color(252, 0, 195), {240, 76, 100, 32}, {240, 110, 100, 8}},
            {"game over: values", Color(255, 100, 220), {345, 76, 40, 32}, {345, 110, 40, 8}},
            {"game over: tip", Color(250, 0, 0), {250, 124, 320, 15}, {250, 116, 320, 6}},
            {"game over: band title", Color(0, 0, 0), {340, 153, 140, 18}, {200, 153, 100, 18}},
            {"game over: mode", Color(255, 193, 0), {255, 185, 65, 14}, {255, 177, 65, 6}},
            {"game over: heading", Color(46, 216, 0), {225, 211, 125, 14}, {225, 203, 125, 6}}});
    // The names cycle through every hue of the colour rule: each against the panel.
    const double panel = Luminance(Pixels(h, {210, 285, 1, 1})[0]);
    for (int hue = 0; hue < 256; hue += 4)
        EXPECT_GE(Ratio(Luminance(ImageColor::HslColor(hue, 255, 180)), panel), 4.5) << hue;
}

}  // namespace
}  // namespace Varn::test
