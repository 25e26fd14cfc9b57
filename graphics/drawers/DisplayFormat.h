// DisplayFormat: what the surface drawers need to know about the display's pixels besides
// the masks: per channel the shift (lowest set bit of the mask), the bit count (from that
// bit up to the highest set bit) and the saturation table, entry i = min(i, 2^bits - 1).
// A table has 2 * max + 1 entries so that the largest sum of two channel values (2 * max)
// is itself a valid index.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/DDSurface.h"

namespace Varn {

struct ChannelFormat {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::vector<int> saturation;

    static ChannelFormat FromMask(uint32_t mask);
    int Max() const { return bits == 0 ? 0 : int((1u << bits) - 1); }
};

struct DisplayFormat {
    PixelLayout layout;
    ChannelFormat red;
    ChannelFormat green;
    ChannelFormat blue;

    static DisplayFormat FromLayout(const PixelLayout& layout);
};

}  // namespace Varn
