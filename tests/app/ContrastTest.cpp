// WCAG contrast of the fixed texts against the art behind them, on the real screens
// rendered headless: the text's luminance is that of its glyphs' fill (the pixels of its
// colour at any strength from half to full, nine tenths of the way from the art's side),
// the art's the mean of a box beside the text.
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

double Luminance(int r, int g, int b) {
    auto channel = [](int v) {
        double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
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

// Pixels of the colour scaled by 0.5-1 are glyph pixels; shadows and edges are not.
double TextLuminance(MemoryImage& screen, const TextOnArt& t, int awayFromArt) {
    std::vector<double> found;
    for (int y = t.text.y; y < t.text.y + t.text.height; ++y)
        for (int x = t.text.x; x < t.text.x + t.text.width; ++x) {
            uint32_t p = screen.GetBits()[y * screen.GetWidth() + x];
            int c[3] = {int(p & 255), int(p >> 8 & 255), int(p >> 16 & 255)};
            int want[3] = {t.colour.red, t.colour.green, t.colour.blue};
            int top = *std::max_element(want, want + 3);
            double k = double(*std::max_element(c, c + 3)) / std::max(top, 1);
            bool match = top == 0 ? c[0] + c[1] + c[2] < 30 : k >= 0.5 && k <= 1.02;
            for (int i = 0; i < 3 && match; ++i) match = std::abs(c[i] - k * want[i]) < 14;
            if (match) found.push_back(Luminance(c[0], c[1], c[2]));
        }
    if (found.empty()) return -1;
    // Thin strokes are mostly edge pixels: the glyph's own fill is near the far end.
    std::sort(found.begin(), found.end());
    return found[awayFromArt > 0 ? found.size() * 9 / 10 : found.size() / 10];
}

double ArtLuminance(MemoryImage& screen, const Rect& r) {
    double sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) {
            uint32_t p = screen.GetBits()[y * screen.GetWidth() + x];
            sum += Luminance(p & 255, p >> 8 & 255, p >> 16 & 255);
        }
    return sum / (r.width * r.height);
}

void ExpectReadable(AppHarness& h, const std::vector<TextOnArt>& texts) {
    auto* screen = dynamic_cast<MemoryImage*>(h.app->GetWidgetManager()->GetScreenImage());
    ASSERT_NE(screen, nullptr);
    for (const TextOnArt& t : texts) {
        double art = ArtLuminance(*screen, t.behind);
        double c = Luminance(t.colour.red, t.colour.green, t.colour.blue);
        double text = TextLuminance(*screen, t, c > art ? 1 : -1);
        ASSERT_GE(text, 0) << t.label << ": no pixel of its colour";
        double ratio = Ratio(text, art);
        EXPECT_GE(ratio, 4.5) << t.label;
        std::printf("contrast %-26s %5.2f\n", t.label, ratio);
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
    Board* board = h.app->GetBoard();
    ExpectReadable(h, {{"game: score", Color(173, 231, 255), {50, 85, 90, 25}, {30, 80, 12, 30}},
                       {"game: level", Color(0, 0, 0), {598, 452, 16, 15}, {592, 452, 4, 15}}});
    board->score = 850;
    board->state = BoardState::GameOverShown;
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
    // The names cycle through every hue the rule gives: 3:1 is the floor there.
    auto* screen = dynamic_cast<MemoryImage*>(h.app->GetWidgetManager()->GetScreenImage());
    double art = ArtLuminance(*screen, {210, 285, 150, 6});
    double lowest = 21;
    for (int hue = 0; hue < 256; hue += 4) {
        Color c = ImageColor::HslColor(hue, 255, 180);
        lowest = std::min(lowest, Ratio(Luminance(c.red, c.green, c.blue), art));
    }
    EXPECT_GE(lowest, 3.0);
    std::printf("contrast %-26s %5.2f\n", "game over: names, lowest", lowest);
}

}  // namespace
}  // namespace Varn::test
