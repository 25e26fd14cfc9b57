// ImageFont: a bitmap font whose glyphs stand side by side in one row of a strip image.
// The layout comes from a descriptor text: the space advance, the ascent, then pairs of a
// character and its width, in strip order. Lower-case text falls back to capitals (and the
// other way round) when only one case is drawn. Glyphs are tinted by the context's colour.
// Limits: single-byte characters only; no kerning. The strip is not owned. Widths outside
// 0..kMaxGlyphWidth end the descriptor there (the glyphs before stay), so hostile files
// cannot overflow the measurements.
#pragma once

#include <array>
#include <istream>
#include <string>

#include "graphics/Font.h"

namespace Varn {

class Image;

class ImageFont : public Font {
public:
    static constexpr int kMaxGlyphWidth = 4096;

    // A descriptor that cannot be opened gives a font without glyphs.
    ImageFont(Image* strip, const std::string& descriptorPath);
    // A font read from descriptor text already in memory.
    ImageFont(Image* strip, std::istream& descriptor);
    // The same layout drawn from another strip image.
    ImageFont(const ImageFont& other, Image* otherStrip);
    ImageFont(const ImageFont&) = default;
    ImageFont& operator=(const ImageFont&) = default;

    int StringWidth(const std::string& text) const override;
    // Colour and clip arguments are unused: the context's own colour and clip apply.
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    std::unique_ptr<Font> Duplicate() const override;

    int GlyphX(unsigned char c) const { return glyphX[c]; }
    int GlyphWidth(unsigned char c) const { return glyphWidth[c]; }
    Image* GetStrip() const { return strip; }
    // Whether the character draws as something (its own glyph or the other case's).
    bool Draws(unsigned char c) const { return glyphWidth[Lookup(c)] > 0; }

private:
    void ResetToStrip();
    void ReadDescriptor(std::istream& in);
    unsigned char Lookup(unsigned char c) const;

    Image* strip;
    std::array<int, 256> glyphX;
    std::array<int, 256> glyphWidth;
};

}  // namespace Varn
