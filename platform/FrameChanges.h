// What really changed in a frame: the rows a frame reports as changed may differ in a few
// pixels only (an animation's corner), and a scaled presentation pays for every pixel it
// scales and sends. FrameChanges keeps the frame as last presented and narrows the
// reported rows to the smallest rectangle that differs from it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace Varn {

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Empty() const { return width <= 0 || height <= 0; }
};

class FrameChanges {
public:
    // The rectangle within rows [first, end) that differs from the previous frame, and
    // the kept copy brought up to date. The whole frame when `everything` is set or the
    // frame's size or layout changed.
    PictureRect Update(const FrameView& frame, int first, int end, bool everything);

private:
    void Keep(const FrameView& frame);

    std::vector<uint8_t> kept;
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    PixelFormat format = PixelFormat::kXrgb8888;
};

}  // namespace Varn
