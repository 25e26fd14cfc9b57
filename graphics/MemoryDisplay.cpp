#include "graphics/MemoryDisplay.h"

#include "graphics/MemoryImage.h"
#include "platform/Platform.h"

namespace Varn {

MemoryDisplay::MemoryDisplay(ImageRegistry* imageRegistry, int screenWidth, int screenHeight)
    : registry(imageRegistry), width(screenWidth), height(screenHeight) {}

MemoryDisplay::~MemoryDisplay() = default;

int MemoryDisplay::Init(PlatformWindow* targetWindow, bool windowed) {
    window = targetWindow;
    if (windowed) {
        int bytes = window->DesktopBytesPerPixel();
        if (bytes != 2 && bytes != 4) return RESULT_INVALID_COLORDEPTH;
    }
    if (!screen) {
        screen = std::make_unique<MemoryImage>(registry);
        screen->Create(width, height);
    }
    frame.assign(size_t(width) * height, 0);
    return RESULT_OK;
}

Image* MemoryDisplay::GetScreenImage() {
    return screen.get();
}

bool MemoryDisplay::Redraw() {
    if (!window || !screen) return false;
    const uint32_t* bits = screen->GetBits();
    for (size_t i = 0; i < frame.size(); ++i) {
        uint32_t p = bits[i];
        frame[i] = (p & 0xFF) << 16 | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
    FrameView view;
    view.pixels = frame.data();
    view.pitch = width * 4;
    view.width = width;
    view.height = height;
    view.format = PixelFormat::kXrgb8888;
    view.firstDirtyRow = 0;
    view.endDirtyRow = height;
    return window->Present(view);
}

}  // namespace Varn
