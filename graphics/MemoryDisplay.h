// MemoryDisplay: the simplest display device. The screen is a 32-bit memory
// image; presenting converts it to the window's 32-bit layout and hands it to
// the platform window. It refuses desktops that are neither 16 nor 32 bits.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/DisplayDevice.h"

namespace Varn {

class ImageRegistry;
class MemoryImage;

class MemoryDisplay : public DisplayDevice {
public:
    MemoryDisplay(ImageRegistry* registry, int width, int height);
    ~MemoryDisplay() override;

    int Init(PlatformWindow* window, bool windowed) override;
    Image* GetScreenImage() override;
    bool Redraw() override;

private:
    ImageRegistry* registry;
    int width;
    int height;
    PlatformWindow* window = nullptr;
    std::unique_ptr<MemoryImage> screen;
    std::vector<uint32_t> frame;
};

}  // namespace Varn
