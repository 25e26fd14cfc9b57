// ImageFont: a bitmap font whose glyphs stand side by side in one row of a strip image.
// The layout comes from a descriptor text: the space advance, the ascent, then pairs of a
// character and its width, in strip order. Each glyph's picture is drawn at the pen and
// the pen moves by its width, unless an optional "@metrics" section follows, of triples
// (character, offset of the picture from the pen, advance of the pen), and an optional
// "@kerning" section of triples (character, following character, change of the first
// one's advance). Old descriptors without them read as before. Lower-case text falls back
// to capitals (and the other way round) when only one case is drawn. Glyphs are tinted by
// the context's colour. Limits: single-byte characters only. The strip is not owned.
// Widths, advances, offsets and kerning outside +-kMaxGlyphWidth (widths and advances
// below 0) end the descriptor there (what came before stays), so hostile files cannot
// overflow the measurements.
#pragma once

#include <array>
#include <istream>
#include <map>
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
    int GetOverhang() const override;

    int GlyphX(unsigned char c) const { return glyphX[c]; }
    int GlyphWidth(unsigned char c) const { return glyphWidth[c]; }
    Image* GetStrip() const { return strip; }
    // Whether the character draws as something (its own glyph or the other case's).
    bool Draws(unsigned char c) const { return glyphWidth[Lookup(c)] > 0; }

private:
    void ResetToStrip();
    void ReadDescriptor(std::istream& in);
    void ReadSections(std::istream& in);
    unsigned char Lookup(unsigned char c) const;
    int Kerning(unsigned char left, unsigned char right) const;

    Image* strip;
    std::array<int, 256> glyphX;
    std::array<int, 256> glyphWidth;  // of the picture in the strip
    std::array<int, 256> glyphOffset;
    std::array<int, 256> glyphAdvance;
    std::map<int, int> kerning;  // left << 8 | right
};

}  // namespace Varn
