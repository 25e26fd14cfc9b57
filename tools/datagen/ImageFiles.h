// ImageFiles: the generator's own writers for the three picture formats the
// game reads. PNG and JPEG go through libpng and libjpeg; GIF is written here
// (8-bit palette, LZW). All writers produce the same bytes for the same pixels:
// no timestamps, fixed compression settings. Each returns false when the file
// cannot be written.
#pragma once

#include <string>

#include "tools/datagen/Canvas.h"

namespace Varn::DataGen {

// RGBA, 8 bits per channel.
bool WritePng(const std::string& path, const Canvas& image);
// RGB only (alpha ignored: composited over black first); quality 0-100.
bool WriteJpeg(const std::string& path, const Canvas& image, int quality = 92);
// The alpha channel as a grey-scale picture: the underscore mask of a JPEG or GIF.
Canvas AlphaAsGrey(const Canvas& image);
// A grey-scale GIF (256-entry grey palette) of the red channel.
bool WriteGreyGif(const std::string& path, const Canvas& image);

}  // namespace Varn::DataGen
