// Font: the abstract text face a Graphics holds. Metrics in pixels: ascent (top of a line
// to the baseline), height (line height) and descent = height - ascent, which can be
// negative for a bitmap font whose descriptor claims a tall ascent.
// DrawString's y is the baseline and x the left end; the font adds the Graphics translation.
#pragma once

#include <memory>
#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Varn {

class Graphics;

class Font {
public:
    Font() = default;
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font();

    virtual int GetAscent() const { return ascent; }
    virtual int GetDescent() const { return height - ascent; }
    virtual int GetHeight() const { return height; }
    virtual int StringWidth(const std::string& text) const;
    // The width of the one-character string, for every font.
    virtual int CharWidth(char c) const;
    virtual void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                            const Rect& clip);
    virtual std::unique_ptr<Font> Duplicate() const = 0;
    // Baseline-to-baseline distance of wrapped text; the line height for both kinds of font.
    virtual int GetLineSpacing() const { return height; }
    // Pixels a drawn string may reach left of its x or right of x + StringWidth (outlines,
    // shadows, letters overhanging their advance): room to leave around a picture of text.
    virtual int GetOverhang() const { return 0; }

protected:
    int ascent = 0;
    int height = 0;
};

}  // namespace Varn
