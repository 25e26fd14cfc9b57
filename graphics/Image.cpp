// Image: the do-nothing base operations and the shared DrawRect.
#include "graphics/Image.h"

namespace Varn {

Image::~Image() = default;

void Image::FillRect(const Rect&, const Color&, int) {}

void Image::DrawRect(const Rect& rect, const Color& color, int drawMode) {
    FillRect(Rect(rect.x, rect.y + 1, 1, rect.height - 2), color, drawMode);
    FillRect(Rect(rect.x, rect.y, rect.width, 1), color, drawMode);
    FillRect(Rect(rect.x + rect.width - 1, rect.y + 1, 1, rect.height - 2), color, drawMode);
    FillRect(Rect(rect.x, rect.y + rect.height - 1, rect.width, 1), color, drawMode);
}

void Image::DrawLine(double, double, double, double, const Color&, int) {}

void Image::Blt(Image*, int, int, const Rect&, const Color&, int) {}

void Image::StretchBlt(Image*, const Rect&, const FRect&, const Color&, int) {}

}  // namespace Varn
