// Fuzz entry point: the GIF decoder on arbitrary bytes. It must never read or write outside
// its buffers, hang, or return a picture whose size disagrees with its pixels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "graphics/ImageLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A smaller size limit than the game's keeps each run quick without hiding any path.
    auto picture = Varn::DecodeGIF(data, size, int64_t(1) << 18);
    if (picture) {
        if (picture->width <= 0 || picture->height <= 0 || !picture->pixels) std::abort();
        volatile uint32_t last = picture->pixels[std::size_t(picture->width) * picture->height - 1];
        (void)last;
    }
    return 0;
}
