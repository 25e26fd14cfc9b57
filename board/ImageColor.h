// ImageColor: the two colour operations the game's art is derived with: the
// colourised copy of an image (every channel scaled by a tint) and the HSL
// colour rule. The board uses them for the level background and the message
// rainbow; the application for the timer bars and the game-over screen.
#pragma once

#include <memory>

#include "graphics/Color.h"

namespace Varn {

class ImageRegistry;
class MemoryImage;

namespace ImageColor {

// A new image of the same size. Per pixel and channel c with the tint's
// matching channel k: (k * c) >> 8 when every tint channel is at most 255,
// else min(255, c * k / 255). A white tint therefore scales by 255/256.
std::unique_ptr<MemoryImage> ColorizedCopy(MemoryImage& source, const Color& tint,
                                           ImageRegistry* registry);

// Hue, saturation and lightness 0-255 (values outside are clamped) to an
// opaque colour, in integer arithmetic except for the ramp inside a sextant.
Color HslColor(int hue, int saturation, int lightness);

}  // namespace ImageColor
}  // namespace Varn
