// ImageNeeds: the least size of each picture of the image table, as the
// game's drawing cuts it (cells of sheets, fixed button and screen sizes,
// the 3 x 3 frames), and of each font strip, as its descriptor lays out the
// glyphs. A smaller picture would draw as nothing at all, so loading it is
// as fatal as a missing file.
#pragma once

#include <string>
#include <string_view>

namespace Varn {

class ImageFont;

struct ImageSize {
    int width = 1;
    int height = 1;
};

// The least size of image table entry index (0-37); 1 x 1 where any will do.
ImageSize ImageNeedAt(int index);
// Empty when a width x height picture is enough for entry index, else what
// is wrong, for the fatal message ("1 x 1 pixels, at least 780 x 728 needed").
std::string ImageSizeProblem(int index, int width, int height);
// The same for a font strip that must hold every glyph its descriptor places.
std::string FontStripProblem(const ImageFont& font);
// Empty when the font draws every character of `needs` (spaces aside) and has any glyph
// at all, else what is missing ("no glyphs", "no glyph for 'K'"): an empty or cut
// descriptor would leave the game's fixed texts blank.
std::string FontGlyphProblem(const ImageFont& font, std::string_view needs);

}  // namespace Varn
