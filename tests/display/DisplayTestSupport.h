// Helpers for display tests: a device on the headless window in 16 or 32 bits, raw access
// to the screen surface, and small source pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/headless/HeadlessPlatform.h"

namespace Varn::DisplayTest {

constexpr uint32_t Packed(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return r | g << 8 | b << 16 | a << 24;
}

constexpr uint32_t Rgb565(uint32_t r5, uint32_t g6, uint32_t b5) {
    return r5 << 11 | g6 << 5 | b5;
}

constexpr uint32_t Xrgb(uint32_t r, uint32_t g, uint32_t b) {
    return r << 16 | g << 8 | b;
}

// A device of the given depth on an open headless window, initialised windowed.
struct Display {
    explicit Display(int depth, int width = 64, int height = 16) : device(nullptr, width, height) {
        window.desktopBytesPerPixel = depth / 8;
        window.Create("test", width, height, false);
        result = device.Init(&window, true);
    }

    DDImage& Screen() { return *device.GetScreenDDImage(); }

    uint32_t Raw(int x, int y) {
        DDSurface* s = Screen().GetSurface();
        const uint8_t* row = s->Pixels() + std::size_t(y) * s->GetPitch();
        if (s->GetLayout().bitCount == 16) return reinterpret_cast<const uint16_t*>(row)[x];
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

    void SetRaw(int x, int y, uint32_t v) {
        DDSurface* s = Screen().GetSurface();
        LockedSurface locked;
        s->Lock(locked, y, y + 1);
        uint8_t* row = locked.pixels + std::size_t(y) * locked.pitch;
        if (locked.layout.bitCount == 16)
            reinterpret_cast<uint16_t*>(row)[x] = uint16_t(v);
        else
            reinterpret_cast<uint32_t*>(row)[x] = v;
        s->Unlock();
    }

    void FillRaw(uint32_t v) {
        for (int y = 0; y < device.GetHeight(); ++y)
            for (int x = 0; x < device.GetWidth(); ++x) SetRaw(x, y, v);
    }

    HeadlessWindow window;
    DDInterface device;
    int result = -1;
};

// A memory picture of one row or a small block, from packed pixels.
inline std::unique_ptr<MemoryImage> Picture(const std::vector<uint32_t>& pixels, int width) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(pixels.data(), width, int(pixels.size()) / width);
    return image;
}

}  // namespace Varn::DisplayTest
