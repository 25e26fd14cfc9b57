// ImageNeeds: the table of least sizes and the checks against it.
#include "app/ImageNeeds.h"

#include <algorithm>

#include "graphics/Image.h"
#include "graphics/ImageFont.h"

namespace Varn {

namespace {

constexpr int kImageCount = 38;

// By table index; {1, 1} where the drawing takes whatever size it finds.
constexpr ImageSize kNeeds[kImageCount] = {
    {640, 480},   // 0 zephyr-title: the whole title screen
    {340, 24},    // 1 titlegreenbar2: the full progress bar
    {1, 1},       // 2 (empty entry)
    {1, 1},       // 3 afont1: checked against its descriptor
    {1, 1},       // 4 mainfont1: checked against its descriptor
    {1, 1},       // 5 cursor1
    {1, 1},       // 6 pointer2
    {1, 1},       // 7 overhand
    {1, 1},       // 8 typer
    {640, 480},   // 9 zephyr-back: the whole game screen
    {780, 728},   // 10 gemsheet6: 15 frames of 52, a spin and a glow row of 52 per kind
    {312, 52},    // 11 target1: 6 cursor cells of 52
    {3, 3},       // 12 dialogbox2: a 3 x 3 frame
    {3, 3},       // 13 boxbutton2: a 3 x 3 frame
    {32, 16},     // 14 waitbar
    {156, 41},    // 15 over2-newgame-pushed1: the New Game button
    {78, 31},     // 16 over3-normal-pushed1
    {78, 31},     // 17 over7-normal-selected1
    {78, 31},     // 18 over4-timetrial-pushed1
    {78, 31},     // 19 over8-timetrial-selected1
    {156, 41},    // 20 over5-options-pushed1
    {156, 40},    // 21 over6-quit-pushed1
    {340, 25},    // 22 timerbar: the full bonus bar
    {1, 1},       // 23 alphadigits4: checked against its descriptor
    {560, 40},    // 24 sparkle: 14 cells of 40
    {1, 1},       // 25 scorefont1: checked against its descriptor
    {53, 73},     // 26 over1-hint1: the Hint button
    {3, 1},       // 27 slider-track: three cells
    {1, 1},       // 28 slider-thumb
    {62, 32},     // 29 checkbox1: two 31 x 32 halves
    {510, 51},    // 30 checkertextures2: 5 texture pairs of 51
    {1, 1},       // 31 overfont2: checked against its descriptor
    {2304, 256},  // 32 blackhole: 9 frames of 256
    {1, 1},       // 33 holemask
    {128, 16},    // 34 elect: tiles 128 wide
    {96, 32},     // 35 editbox: three cells of 32
    {1, 1},       // 36 swapper1
    {1, 1},       // 37 swapper2
};

std::string Describe(int width, int height, ImageSize need) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels, at least " +
           std::to_string(need.width) + " x " + std::to_string(need.height) + " needed";
}

}  // namespace

ImageSize ImageNeedAt(int index) {
    return index >= 0 && index < kImageCount ? kNeeds[index] : ImageSize{};
}

std::string ImageSizeProblem(int index, int width, int height) {
    const ImageSize need = ImageNeedAt(index);
    if (width >= need.width && height >= need.height) return {};
    return Describe(width, height, need);
}

std::string FontStripProblem(const ImageFont& font) {
    ImageSize need;
    for (int c = 0; c < 256; ++c) {
        const auto code = static_cast<unsigned char>(c);
        if (font.GlyphX(code) >= 0)
            need.width = std::max(need.width, font.GlyphX(code) + font.GlyphWidth(code));
    }
    const Image* strip = font.GetStrip();
    const int width = strip ? strip->GetWidth() : 0;
    const int height = strip ? strip->GetHeight() : 0;
    if (width >= need.width && height >= need.height) return {};
    return Describe(width, height, need);
}

std::string FontGlyphProblem(const ImageFont& font, std::string_view needs) {
    bool any = false;
    for (int c = 0; c < 256; ++c)  // the space is an advance, not a glyph
        any = any || (c != ' ' && font.GlyphWidth(static_cast<unsigned char>(c)) > 0);
    if (!any) return "no glyphs";
    for (char c : needs)
        if (c != ' ' && !font.Draws(static_cast<unsigned char>(c)))
            return std::string("no glyph for '") + c + "'";
    return {};
}

}  // namespace Varn
