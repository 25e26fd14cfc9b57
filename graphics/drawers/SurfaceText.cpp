// Coverage masks (anti-aliased glyphs) in one colour, drawn into a locked display surface.
#include <algorithm>

#include "graphics/drawers/SurfacePixel.h"

namespace Varn::SurfaceDraw {

using namespace detail;

namespace {

// Each channel moves from the destination towards the colour by coverage / 255, rounded.
uint32_t Mix(const DisplayFormat& f, uint32_t d, uint32_t colour, uint32_t coverage) {
    uint32_t out = 0;
    for (const ChannelFormat* c : {&f.red, &f.green, &f.blue}) {
        int from = int((d & c->mask) >> c->shift);
        int to = int((colour & c->mask) >> c->shift);
        int value = from + ((to - from) * int(coverage) + (to >= from ? 127 : -127)) / 255;
        out |= uint32_t(value) << c->shift;
    }
    return out;
}

template <typename P>
void BlendCoverage(const Target& t, const Rect& box, int x, int y, const uint8_t* coverage,
                   int stride, uint32_t colour) {
    for (int row = box.y; row < box.y + box.height; ++row) {
        const uint8_t* cover = coverage + std::size_t(row - y) * stride;
        P* d = Row<P>(t, row);
        for (int col = box.x; col < box.x + box.width; ++col) {
            uint32_t c = cover[col - x];
            if (c == 255)
                d[col] = P(colour);
            else if (c != 0)
                d[col] = P(Mix(*t.format, d[col], colour, c));
        }
    }
}

}  // namespace

void CoverageBlend(const Target& t, int x, int y, const uint8_t* coverage, int width, int height,
                   int stride, uint32_t displayColour, const Rect& clip) {
    if (!coverage || !t.pixels || !t.format || width <= 0 || height <= 0 || stride < width) return;
    Rect box =
        Rect(x, y, width, height).Intersection(clip).Intersection(Rect(0, 0, t.width, t.height));
    if (box.width <= 0 || box.height <= 0) return;
    if (t.format->layout.bitCount == 16)
        BlendCoverage<uint16_t>(t, box, x, y, coverage, stride, displayColour);
    else if (t.format->layout.bitCount == 32)
        BlendCoverage<uint32_t>(t, box, x, y, coverage, stride, displayColour);
}

}  // namespace Varn::SurfaceDraw
