// DecodedImage: allocation and the shared size limit.
#include "graphics/DecodedImage.h"

namespace Varn {

DecodedImage::DecodedImage(int w, int h)
    : width(w), height(h), pixels(std::make_unique<uint32_t[]>(std::size_t(w) * std::size_t(h))) {}

DecodedImage::~DecodedImage() = default;

bool AcceptableImageSize(int64_t w, int64_t h, int64_t maxPixels) {
    return w > 0 && h > 0 && w <= kMaxImageSide && h <= kMaxImageSide && w * h <= maxPixels;
}

}  // namespace Varn
