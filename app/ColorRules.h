// The game's colour helpers: the HSL colour rule (integer arithmetic) and the
// colourised copy of an image that the derived images are made with.
#pragma once

#include <memory>

#include "graphics/Color.h"

namespace Varn {

class ImageRegistry;
class MemoryImage;

// Hue, saturation and lightness in 0-255; alpha 255.
Color HslColor(int hue, int saturation, int lightness);

// A new image of the same size with every channel scaled by the colour's
// matching channel: (k * c) >> 8, so even white scales by 255/256.
std::unique_ptr<MemoryImage> ColorizedCopy(MemoryImage& source, const Color& color,
                                           ImageRegistry* registry);

}  // namespace Varn
