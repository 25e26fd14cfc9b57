// ImageLoader: reads pictures from files named with or without an extension.
// LoadImage tries name.jpg, name.png and name.gif in that order (only the one matching an
// explicit extension), then takes the alpha channel from a mask file "_name" (same search)
// when one of exactly the same size exists. Each reader returns null for a missing,
// damaged or oversized file; nothing here throws or aborts.
// The Decode* functions read a file already in memory (the fuzz targets use them);
// maxPixels lets a caller refuse large pictures earlier than the usual limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "graphics/DecodedImage.h"

namespace Varn {

std::unique_ptr<DecodedImage> LoadImage(const std::string& path);
std::unique_ptr<DecodedImage> LoadJPEGImage(const std::string& path);
std::unique_ptr<DecodedImage> LoadPNGImage(const std::string& path);
std::unique_ptr<DecodedImage> LoadGIFImage(const std::string& path);

std::unique_ptr<DecodedImage> DecodeJPEG(const uint8_t* data, std::size_t size,
                                         int64_t maxPixels = kMaxImagePixels);
std::unique_ptr<DecodedImage> DecodePNG(const uint8_t* data, std::size_t size,
                                        int64_t maxPixels = kMaxImagePixels);
std::unique_ptr<DecodedImage> DecodeGIF(const uint8_t* data, std::size_t size,
                                        int64_t maxPixels = kMaxImagePixels);

}  // namespace Varn
