// SysFont: a system font face rendered with FreeType, found through fontconfig.
// Sized like the platform's logical fonts: the pixel size is the point size at 96 dots per
// inch (rounded), ascent and descent come from the face at that size, height is their sum.
// DrawString puts the baseline one pixel below y (the top of the text is ascent - 1 above
// y), honours the clip rectangle, ignores the colour's alpha and the draw mode, and draws
// anti-aliased glyphs into any MemoryImage destination (display images included, through
// GetBits/BitsChanged); other destinations draw nothing.
// Limits: one byte per character, read as Latin-1; no kerning. A face that cannot be found
// or opened gives a font with zero metrics that measures 0 and draws nothing (IsValid false).
// A SysFont is used by one thread at a time (its glyph cache is not locked).
#pragma once

#include <memory>
#include <string>

#include "graphics/Font.h"

namespace Varn {

class SysFont : public Font {
public:
    SysFont(const std::string& faceName, int pointSize, bool bold = false, bool italic = false,
            bool underline = false);
    // A new face from the same description, with the source's metrics.
    SysFont(const SysFont& other);
    SysFont& operator=(const SysFont&) = delete;
    ~SysFont() override;

    int StringWidth(const std::string& text) const override;
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                    const Rect& clip) override;
    std::unique_ptr<Font> Duplicate() const override;

    bool IsValid() const;
    int GetPixelSize() const { return pixelSize; }
    const std::string& GetFaceName() const { return faceName; }

private:
    struct Face;

    std::string faceName;
    int pointSize;
    bool bold;
    bool italic;
    bool underline;
    int pixelSize = 0;
    std::unique_ptr<Face> face;
};

}  // namespace Varn
