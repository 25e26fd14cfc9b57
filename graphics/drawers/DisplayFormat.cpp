#include "graphics/drawers/DisplayFormat.h"

#include <algorithm>
#include <bit>

namespace Varn {

ChannelFormat ChannelFormat::FromMask(uint32_t channelMask) {
    ChannelFormat c;
    c.mask = channelMask;
    if (channelMask == 0) {
        c.saturation.assign(1, 0);
        return c;
    }
    c.shift = std::countr_zero(channelMask);
    c.bits = 32 - std::countl_zero(channelMask) - c.shift;
    int max = c.Max();
    c.saturation.resize(std::size_t(2) * max + 1);
    for (int i = 0; i <= 2 * max; ++i) c.saturation[std::size_t(i)] = std::min(i, max);
    return c;
}

DisplayFormat DisplayFormat::FromLayout(const PixelLayout& layout) {
    DisplayFormat f;
    f.layout = layout;
    f.red = ChannelFormat::FromMask(layout.redMask);
    f.green = ChannelFormat::FromMask(layout.greenMask);
    f.blue = ChannelFormat::FromMask(layout.blueMask);
    return f;
}

}  // namespace Varn
