// Image: the abstract picture every drawing operation targets or reads from.
// A width, a height and five drawing operations; the base implementations draw nothing
// except DrawRect, which is built once for all images from four FillRect calls.
// Callers (normally Graphics) clip first: the operations trust their rectangles.
#pragma once

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Varn {

// How a drawing operation combines with the destination. Plain ints, as the drawing
// context and the image operations pass them.
namespace DrawMode {
inline constexpr int Normal = 0;    // alpha blending
inline constexpr int Additive = 1;  // source added to destination
}  // namespace DrawMode

class Image {
public:
    Image() = default;
    Image(const Image&) = default;
    Image& operator=(const Image&) = default;
    virtual ~Image();

    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    // Four FillRect calls: left column, top row, right column, bottom row.
    virtual void DrawRect(const Rect& rect, const Color& color, int drawMode);
    virtual void DrawLine(double x1, double y1, double x2, double y2, const Color& color,
                          int drawMode);
    virtual void Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
                     int drawMode);
    virtual void StretchBlt(Image* source, const Rect& destRect, const FRect& sourceRect,
                            const Color& color, int drawMode);

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

protected:
    int width = 0;
    int height = 0;
};

}  // namespace Varn
