// A fixed test font for the widget text tests: capitals and '^' in a strip of known
// layout (capitals 5 wide, '^' 3 wide, space 4), ascent 10, height 12, drawn into an Image
// that records every Blt with its tint.
#pragma once

#include <sstream>
#include <string>

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "tests/graphics/PixelTestSupport.h"
#include "widgets/Widget.h"

namespace Varn::Testing {

inline std::string TestFontDescriptor() {
    std::string text = "4 10\n";
    for (char c = 'A'; c <= 'Z'; ++c) text += std::string(1, c) + " 5\n";
    return text + "^ 3\n";
}

struct TextFixture {
    SizedImage strip{26 * 5 + 3, 12};
    std::istringstream descriptor{TestFontDescriptor()};
    ImageFont font{&strip, descriptor};
    RecordingImage target{400, 400};
    Graphics g{&target};
    Widget widget;

    TextFixture() {
        g.SetFont(&font);
        widget.width = 100;
        widget.height = 50;
    }

    // The letter drawn by a recorded glyph Blt.
    char GlyphOf(const Call& call) const {
        if (call.source.x == 130) return '^';
        return char('A' + call.source.x / 5);
    }
    std::string DrawnText() const {
        std::string text;
        for (const Call& c : target.calls) text += GlyphOf(c);
        return text;
    }
};

}  // namespace Varn::Testing
