// FontStrips: the game's five bitmap fonts. Each is a one-row strip of glyph
// pictures rendered from a free face with its decoration baked in (light
// fills, so that the game's colourising tints them), and a descriptor text in
// the game's font format: space advance, ascent, then "character width" pairs
// in strip order, then each glyph's offset and advance (a cell holds the ink and
// its decoration, which may reach left of the pen or past the advance) and the
// face's kerning pairs. BitmapFont also draws text with a strip, for baked-in
// labels and the contact sheet, exactly as the game's ImageFont would.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/datagen/Canvas.h"
#include "tools/datagen/Text.h"

namespace Varn::DataGen {

struct BitmapFont {
    std::string name;  // "afont1", ...
    Canvas strip;
    int spaceAdvance = 0;
    int ascent = 0;
    std::string order;  // characters in strip order
    std::array<int, 256> x{};
    std::array<int, 256> width{};    // of the cell in the strip
    std::array<int, 256> offset{};   // of the cell from the pen
    std::array<int, 256> advance{};  // of the pen
    std::map<std::pair<unsigned char, unsigned char>, int> kerning;

    std::string Descriptor() const;
    int StringWidth(const std::string& text) const;
    // Draws with every glyph tinted by the colour (channels multiplied), like the game.
    void DrawString(Canvas& target, int x, int baseline, const std::string& text,
                    const Rgba& tint) const;
};

// The five fonts, in the order afont1, mainfont1, alphadigits4, scorefont1, overfont2.
std::vector<BitmapFont> RenderFontStrips();
// The face a font is cut from, at its size and width; throws for an unknown font name.
std::unique_ptr<FontFace> SourceFace(const std::string& fontName);

}  // namespace Varn::DataGen
