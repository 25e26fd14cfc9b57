// DDImage: surface life cycle (generate with colour-key choice, purge, read back) and the
// drawing dispatch between the surface drawers and the memory drawing of MemoryImage.
#include "graphics/DDImage.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "graphics/DDInterface.h"
#include "graphics/drawers/SurfaceDrawers.h"

namespace Varn {

DDImage::DDImage(DDInterface* owner)
    : MemoryImage(owner ? owner->GetRegistry() : nullptr), device(owner) {
    if (device) device->AddDDImage(this);
}

DDImage::~DDImage() {
    surface.reset();
    if (device) device->RemoveDDImage(this);
}

void DDImage::DetachDevice() {
    if (surface) PurgeSurface();
    device = nullptr;
}

// ---- surface life cycle ----

uint32_t DDImage::ToDisplay(uint32_t pixel) const {
    if (!bitsFromSurface) return device->ConvertColor(pixel);
    // Rounded, the inverse of the read-back: the same surface value comes out again.
    const DisplayFormat& f = device->GetFormat();
    auto channel = [](uint32_t c, const ChannelFormat& ch) {
        return uint32_t((c * uint32_t(ch.Max()) + 127) / 255) << ch.shift;
    };
    return channel(pixel & 0xFF, f.red) | channel(pixel >> 8 & 0xFF, f.green) |
           channel(pixel >> 16 & 0xFF, f.blue);
}

// The first choice is the display value of the first pixel that is not opaque; if an opaque
// pixel shares it, the lowest value no visible pixel uses. False if every value is taken.
bool DDImage::ChooseColorKey(uint32_t& key) {
    const uint32_t* p = bits.get();
    std::size_t count = PixelCount();
    key = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (p[i] >> 24 == 255) continue;
        key = ToDisplay(p[i]);
        break;
    }
    if (!hasTrans) return true;
    bool collides = false;
    for (std::size_t i = 0; i < count && !collides; ++i)
        collides = p[i] >> 24 == 255 && ToDisplay(p[i]) == key;
    if (!collides) return true;
    bool sixteen = device->GetBitDepth() == 16;
    std::vector<bool> used(sixteen ? std::size_t(1) << 16 : std::size_t(1) << 24);
    for (std::size_t i = 0; i < count; ++i) {
        if (p[i] >> 24 == 0) continue;
        used[sixteen ? ToDisplay(p[i]) & 0xFFFF : p[i] & 0xFFFFFF] = true;
    }
    auto unused = std::find(used.begin(), used.end(), false);
    if (unused == used.end()) return false;
    uint32_t value = uint32_t(unused - used.begin());
    key = sixteen ? value : ToDisplay(value);
    return true;
}

bool DDImage::GenerateSurface() {
    if (surface) return true;
    if (!device) return false;
    std::lock_guard guard(device->GetLock());
    CommitBits();
    if (hasAlpha || !device->HasFormat() || width <= 0 || height <= 0) return false;
    auto made = DDSurface::Create(width, height, device->GetFormat().layout);
    if (!made) return false;
    GetBits();
    uint32_t key = 0;
    if (!ChooseColorKey(key)) return false;
    LockedSurface locked;
    if (made->Lock(locked) != SURFACE_OK) return false;
    bool sixteen = locked.layout.bitCount == 16;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = bits.get() + std::size_t(y) * width;
        uint8_t* out = locked.pixels + std::size_t(y) * locked.pitch;
        for (int x = 0; x < width; ++x) {
            uint32_t v = row[x] >> 24 == 255 ? ToDisplay(row[x]) : key;
            if (sixteen)
                reinterpret_cast<uint16_t*>(out)[x] = uint16_t(v);
            else
                reinterpret_cast<uint32_t*>(out)[x] = v;
        }
    }
    if (hasTrans) made->SetColorKey(key);
    made->Unlock();
    surface = std::move(made);
    return true;
}

void DDImage::PurgeSurface() {
    if (!surface) return;
    GetBits();
    surface.reset();
}

DDSurface* DDImage::GetSurface() {
    if (!surface) GenerateSurface();
    return surface.get();
}

void DDImage::SetSurface(std::unique_ptr<DDSurface> newSurface) {
    surface = std::move(newSurface);
    FreeBits();
    DropDerivedData();
    bitsFromSurface = false;
    width = surface ? surface->GetWidth() : 0;
    height = surface ? surface->GetHeight() : 0;
}

uint32_t* DDImage::GetBits() {
    if (bits || !surface) return MemoryImage::GetBits();
    LockedSurface locked;
    if (surface->LockForRead(locked) != SURFACE_OK) return nullptr;
    DisplayFormat layout = DisplayFormat::FromLayout(locked.layout);
    bool sixteen = locked.layout.bitCount == 16;
    auto widen = [sixteen](uint32_t v, const ChannelFormat& c) {
        if (c.bits == 0) return 0u;
        uint32_t top = c.bits < 8 ? ((v >> c.shift) << (8 - c.bits)) & 0xFF : (v >> c.shift) & 0xFF;
        return sixteen && c.bits < 8 ? top + (1u << (7 - c.bits)) : top;
    };
    bool keyed = surface->HasColorKey();
    uint32_t key = surface->GetColorKey();
    bits = std::make_unique_for_overwrite<uint32_t[]>(PixelCount());
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = locked.pixels + std::size_t(y) * locked.pitch;
        uint32_t* out = bits.get() + std::size_t(y) * width;
        for (int x = 0; x < width; ++x) {
            uint32_t v = sixteen ? reinterpret_cast<const uint16_t*>(in)[x]
                                 : reinterpret_cast<const uint32_t*>(in)[x] & 0x00FFFFFF;
            uint32_t alpha = keyed && v == key ? 0u : 255u;
            out[x] = widen(v, layout.red) | widen(v, layout.green) << 8 |
                     widen(v, layout.blue) << 16 | alpha << 24;
        }
    }
    surface->Unlock();
    bitsFromSurface = true;
    return bits.get();
}

// ---- overrides of the memory image ----

void DDImage::BitsChanged() {
    // Without memory pixels the surface is the only copy: read it back before letting it go.
    if (surface && !bits) GetBits();
    if (surface && keepsSurface) {
        WriteBitsToSurface();
        return;
    }
    MemoryImage::BitsChanged();
    surface.reset();
    bitsFromSurface = false;
}

// The screen's memory pixels (read back, then changed) go back into the draw surface, with
// the rounding conversion so that unchanged pixels keep their exact values.
void DDImage::WriteBitsToSurface() {
    LockedSurface locked;
    if (!device || !bits || surface->Lock(locked) != SURFACE_OK) return;
    bitsFromSurface = true;
    bool sixteen = locked.layout.bitCount == 16;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = bits.get() + std::size_t(y) * width;
        uint8_t* out = locked.pixels + std::size_t(y) * locked.pitch;
        for (int x = 0; x < width; ++x) {
            if (sixteen)
                reinterpret_cast<uint16_t*>(out)[x] = uint16_t(ToDisplay(row[x]));
            else
                reinterpret_cast<uint32_t*>(out)[x] = ToDisplay(row[x]);
        }
    }
    surface->Unlock();
    FreeBits();
    DropDerivedData();
    bitsFromSurface = false;
}

void DDImage::CommitBits() {
    if (!surface) MemoryImage::CommitBits();
}

void DDImage::Create(int w, int h) {
    FreeBits();
    surface.reset();
    width = std::max(w, 0);
    height = std::max(h, 0);
    BitsChanged();
}

void DDImage::DropDerivedData() {
    nativeAlphaData.reset();
    runLengthAlphaData.reset();
    runLengthAdditiveData.reset();
}

}  // namespace Varn
