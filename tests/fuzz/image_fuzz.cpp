// Fuzz entry point: the PNG and JPEG readers (libpng and libjpeg with our error handling and
// transformations) on arbitrary bytes. Both readers see every input; each refuses what is
// not its format at once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/ImageLoader.h"

namespace {

void Check(const std::unique_ptr<Varn::DecodedImage>& picture) {
    if (!picture) return;
    if (picture->width <= 0 || picture->height <= 0 || !picture->pixels) std::abort();
    volatile uint32_t last = picture->pixels[std::size_t(picture->width) * picture->height - 1];
    (void)last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int64_t limit = int64_t(1) << 20;
    Check(Varn::DecodePNG(data, size, limit));
    Check(Varn::DecodeJPEG(data, size, limit));
    return 0;
}
