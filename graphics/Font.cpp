// Font: the defaults of the abstract face.
#include "graphics/Font.h"

namespace Varn {

Font::~Font() = default;

int Font::StringWidth(const std::string&) const {
    return 0;
}

int Font::CharWidth(char c) const {
    return StringWidth(std::string(1, c));
}

void Font::DrawString(Graphics*, int, int, const std::string&, const Color&, const Rect&) {}

}  // namespace Varn
