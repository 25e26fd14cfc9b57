// DecodedImage: what the image-file readers return: a width, a height and packed pixels
// (alpha << 24 | blue << 16 | green << 8 | red), row-major without gaps.
#pragma once

#include <cstdint>
#include <memory>

namespace Varn {

struct DecodedImage {
    DecodedImage() = default;
    DecodedImage(int w, int h);  // w x h pixels of 0 (transparent black)
    virtual ~DecodedImage();

    int width = 0;
    int height = 0;
    std::unique_ptr<uint32_t[]> pixels;
};

// The readers refuse pictures beyond these sizes rather than allocate without bound.
inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t(1) << 24;

// True when w x h is a picture size the readers accept, within maxPixels.
bool AcceptableImageSize(int64_t w, int64_t h, int64_t maxPixels = kMaxImagePixels);

}  // namespace Varn
