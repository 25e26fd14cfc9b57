#include "platform/FrameChanges.h"

#include <algorithm>
#include <cstring>

namespace Varn {

void FrameChanges::Keep(const FrameView& frame) {
    width = frame.width;
    height = frame.height;
    format = frame.format;
    rowBytes = frame.width * (frame.format == PixelFormat::kRgb565 ? 2 : 4);
    kept.resize(size_t(rowBytes) * height);
    const auto* source = static_cast<const uint8_t*>(frame.pixels);
    for (int y = 0; y < height; ++y)
        std::memcpy(kept.data() + size_t(y) * rowBytes, source + size_t(y) * frame.pitch,
                    size_t(rowBytes));
}

PictureRect FrameChanges::Update(const FrameView& frame, int first, int end, bool everything) {
    if (everything || frame.width != width || frame.height != height || frame.format != format) {
        Keep(frame);
        return PictureRect{0, 0, width, height};
    }
    first = std::max(first, 0);
    end = std::min(end, height);
    int pixelBytes = rowBytes / std::max(width, 1);
    int top = end, bottom = first, left = rowBytes, right = 0;
    for (int y = first; y < end; ++y) {
        const auto* now = static_cast<const uint8_t*>(frame.pixels) + size_t(y) * frame.pitch;
        uint8_t* before = kept.data() + size_t(y) * rowBytes;
        if (std::memcmp(now, before, size_t(rowBytes)) == 0) continue;
        int from = 0;
        while (now[from] == before[from]) ++from;
        int to = rowBytes;
        while (now[to - 1] == before[to - 1]) --to;
        std::memcpy(before + from, now + from, size_t(to - from));
        top = std::min(top, y);
        bottom = y + 1;
        left = std::min(left, from);
        right = std::max(right, to);
    }
    if (bottom <= top) return PictureRect{};
    int x = left / pixelBytes;
    return PictureRect{x, top, (right + pixelBytes - 1) / pixelBytes - x, bottom - top};
}

}  // namespace Varn
