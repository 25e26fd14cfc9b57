// Text: faces found through fontconfig and rendered with FreeType into alpha
// masks, plus the decorative treatment (gradient fill, outline, bevel, shadow)
// that the font strips and the baked-in labels share. Pairs are kerned as the
// face kerns them (its 'kern' table, else its GPOS 'kern' pairs). Limits:
// single-byte characters, no ligatures or other shaping.
#pragma once

#include <memory>
#include <string>

#include "tools/datagen/Canvas.h"

namespace Varn::DataGen {

struct GlyphMask {
    Canvas mask;      // white, coverage in alpha
    int left = 0;     // bitmap offset from the pen
    int top = 0;      // bitmap top above the baseline
    int advance = 0;  // whole pixels
};

class FontFace {
public:
    // Finds an installed face by family and style ("League Spartan", "Bold"); throws
    // std::runtime_error naming the face when fontconfig has no such file.
    // widthPercent below 100 condenses the face horizontally.
    FontFace(const std::string& family, const std::string& style, int pixelSize,
             int widthPercent = 100);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    GlyphMask Glyph(char c) const;
    int Ascender() const;   // pixels above the baseline
    int Descender() const;  // pixels below the baseline (positive)
    int Advance(char c) const;
    // Pixels added to the advance of `left` when `right` follows.
    int Kerning(char left, char right) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Colours and effects of a piece of lettering.
struct TextStyle {
    Rgba top{1, 1, 1, 1};      // fill at the top of the capitals
    Rgba bottom{1, 1, 1, 1};   // fill at the baseline
    Rgba outline{0, 0, 0, 0};  // alpha 0: no outline
    int outlineRadius = 0;
    float bevel = 0;          // strength of the light upper-left edge
    Rgba shadow{0, 0, 0, 0};  // alpha 0: no shadow
    int shadowOffset = 0;
    int tracking = 0;  // extra pixels after every character
};

// Releases FreeType and fontconfig at the end of a run (keeps leak checkers quiet).
void ReleaseFontLibraries();

// Renders a one-line text; baselineOut receives the baseline's y in the result.
Canvas RenderText(const FontFace& face, const std::string& text, const TextStyle& style,
                  int* baselineOut = nullptr);
// Applies the style's fill, bevel, outline and shadow to a white coverage mask whose
// capitals span rows capTop..baseline.
Canvas Decorate(const Canvas& mask, const TextStyle& style, int capTop, int baseline);
// Total margin the style adds on each side of a glyph.
int StyleMargin(const TextStyle& style);

}  // namespace Varn::DataGen
