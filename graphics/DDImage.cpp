// DDImage: surface life cycle (generate with colour-key choice, purge, read back) and the
// drawing dispatch between the surface drawers and the memory drawing of MemoryImage.
#include "graphics/DDImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
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
    if (!device) return;
    // Under the device's lock, so a re-initialisation on another thread never meets an image
    // half destroyed.
    std::lock_guard guard(device->GetLock());
    surface.reset();
    device->RemoveDDImage(this);
}

void DDImage::DetachDevice() {
    if (surface) PurgeSurface();
    device = nullptr;
}

// ---- surface life cycle ----

namespace {

// One display value read back as a packed pixel, alpha 255: 16 bits widen each channel with
// half of its lost step, 32 bits are exact.
uint32_t ReadBack(uint32_t v, const DisplayFormat& f, bool sixteen) {
    auto widen = [sixteen](uint32_t value, const ChannelFormat& c) {
        if (c.bits == 0) return 0u;
        uint32_t top =
            c.bits < 8 ? ((value >> c.shift) << (8 - c.bits)) & 0xFF : (value >> c.shift) & 0xFF;
        return sixteen && c.bits < 8 ? top + (1u << (7 - c.bits)) : top;
    };
    return widen(v, f.red) | widen(v, f.green) << 8 | widen(v, f.blue) << 16 | 0xFF000000u;
}

// The surface value whose read-back would have this pixel's channels (their top bits).
uint32_t SurfaceSource(uint32_t pixel, const DisplayFormat& f) {
    auto narrow = [](uint32_t c8, const ChannelFormat& c) {
        if (c.bits == 0 || c.bits > 8) return 0u;
        return (c8 >> (8 - c.bits)) << c.shift;
    };
    return narrow(pixel & 0xFF, f.red) | narrow(pixel >> 8 & 0xFF, f.green) |
           narrow(pixel >> 16 & 0xFF, f.blue);
}

// Every 5-6-5 value read back, made once.
const uint32_t* ReadBack565() {
    static const std::vector<uint32_t> table = [] {
        std::vector<uint32_t> t(65536);
        DisplayFormat f = DisplayFormat::FromLayout(PixelLayout::Rgb565());
        for (uint32_t v = 0; v < 65536; ++v) t[v] = ReadBack(v, f, true);
        return t;
    }();
    return table.data();
}

void ReadBackRow(const uint8_t* in, uint32_t* out, int width, const PixelLayout& layout,
                 const DisplayFormat& f) {
    if (layout == PixelLayout::Rgb565()) {
        const uint32_t* table = ReadBack565();
        const auto* v = reinterpret_cast<const uint16_t*>(in);
        for (int x = 0; x < width; ++x) out[x] = table[v[x]];
    } else if (layout == PixelLayout::Xrgb8888()) {
        const auto* v = reinterpret_cast<const uint32_t*>(in);
        for (int x = 0; x < width; ++x)
            out[x] = 0xFF000000u | (v[x] >> 16 & 0xFF) | (v[x] & 0xFF00) | (v[x] & 0xFF) << 16;
    } else {
        bool sixteen = layout.bitCount == 16;
        for (int x = 0; x < width; ++x)
            out[x] = ReadBack(sixteen ? reinterpret_cast<const uint16_t*>(in)[x]
                                      : reinterpret_cast<const uint32_t*>(in)[x],
                              f, sixteen);
    }
}

}  // namespace

// A pixel exactly as the read-back made it goes back to the surface value it came from (the
// plain conversion would lose a step: 5-6-5 white reads back as 252, which converts to 30);
// every other colour, such as one drawn into the memory pixels since, converts as usual.
uint32_t DDImage::ToDisplay(uint32_t pixel) const {
    if (bitsFromSurface) {
        const DisplayFormat& f = device->GetFormat();
        uint32_t value = SurfaceSource(pixel, f);
        if (ReadBack(value, f, f.layout.bitCount == 16) == (pixel | 0xFF000000u)) return value;
    }
    return device->ConvertColor(pixel);
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
    if (!device) return false;
    std::lock_guard guard(device->GetLock());
    if (surface) return true;
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

bool DDImage::ReleaseBitsToSurface() {
    if (!device) return false;
    std::lock_guard guard(device->GetLock());
    if (!surface || keepsSurface || device->GetBitDepth() != 32) return false;
    FreeBits();
    bitsFromSurface = false;
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
    readBack.reset();
    spareBits.reset();
    readBackValid = false;
    DropDerivedData();
    bitsFromSurface = false;
    width = surface ? surface->GetWidth() : 0;
    height = surface ? surface->GetHeight() : 0;
}

uint32_t* DDImage::GetBits() {
    if (bits || !surface) return MemoryImage::GetBits();
    LockedSurface locked;
    if (surface->LockForRead(locked) != SURFACE_OK) return nullptr;
    DisplayFormat format = DisplayFormat::FromLayout(locked.layout);
    bool sixteen = locked.layout.bitCount == 16;
    bool keyed = surface->HasColorKey();
    uint32_t key = surface->GetColorKey();
    // The screen is read back again and again: its arrays are kept, not reallocated.
    bits = keepsSurface && spareBits ? std::move(spareBits)
                                     : std::make_unique_for_overwrite<uint32_t[]>(PixelCount());
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = locked.pixels + std::size_t(y) * locked.pitch;
        uint32_t* out = bits.get() + std::size_t(y) * width;
        ReadBackRow(in, out, width, locked.layout, format);
        if (!keyed) continue;
        // Pixels holding the colour key were transparent: they read back so.
        for (int x = 0; x < width; ++x) {
            uint32_t v = sixteen ? reinterpret_cast<const uint16_t*>(in)[x]
                                 : reinterpret_cast<const uint32_t*>(in)[x] & 0x00FFFFFF;
            if (v == key) out[x] &= 0x00FFFFFFu;
        }
    }
    surface->Unlock();
    bitsFromSurface = true;
    if (keepsSurface) {
        // Kept to find the rows a writer changed (see WriteBitsToSurface).
        if (!readBack) readBack = std::make_unique_for_overwrite<uint32_t[]>(PixelCount());
        std::memcpy(readBack.get(), bits.get(), PixelCount() * 4);
        readBackValid = true;
    }
    return bits.get();
}

// ---- overrides of the memory image ----

template <typename Derive>
auto DDImage::DeriveFromSurface(Derive&& derive) {
    const bool readsBack = surface && !bits && !keepsSurface;
    auto derived = derive();
    if (readsBack) {
        FreeBits();
        bitsFromSurface = false;
    }
    return derived;
}

uint32_t* DDImage::GetNativeAlphaData(int depth, uint32_t redMask, uint32_t greenMask,
                                      uint32_t blueMask) {
    return DeriveFromSurface(
        [&] { return MemoryImage::GetNativeAlphaData(depth, redMask, greenMask, blueMask); });
}

uint8_t* DDImage::GetRunLengthAlphaData() {
    return DeriveFromSurface([&] { return MemoryImage::GetRunLengthAlphaData(); });
}

void DDImage::BitsChanged() {
    // Under the device's lock: a re-initialisation on the main thread walks every image's
    // surface while the loading thread edits the pictures it makes.
    std::unique_lock<std::recursive_mutex> guard;
    if (device) guard = std::unique_lock<std::recursive_mutex>(device->GetLock());
    // Without memory pixels the surface is the only copy: read it back before letting it go.
    if (surface && !bits) GetBits();
    if (surface && keepsSurface) {
        WriteBitsToSurface();
        return;
    }
    MemoryImage::BitsChanged();
    surface.reset();
    // bitsFromSurface stays: the pixels the change left alone are still read-back values.
}

// The screen's memory pixels (read back, then changed) go back into the draw surface: only
// the rows that differ from what was read, converted by ToDisplay, so everything else
// keeps its exact values and only those rows count as changed for the presentation.
void DDImage::WriteBitsToSurface() {
    if (!device || !bits) return;
    std::size_t w = std::size_t(width);
    auto changed = [&](int y) {
        return !readBackValid ||
               std::memcmp(bits.get() + y * w, readBack.get() + y * w, w * 4) != 0;
    };
    int first = 0;
    while (first < height && !changed(first)) ++first;
    int end = height;
    while (end > first && !changed(end - 1)) --end;
    LockedSurface locked;
    if (end > first && surface->Lock(locked, first, end) == SURFACE_OK) {
        bitsFromSurface = true;
        bool sixteen = locked.layout.bitCount == 16;
        for (int y = first; y < end; ++y) {
            if (!changed(y)) continue;
            const uint32_t* row = bits.get() + std::size_t(y) * w;
            uint8_t* out = locked.pixels + std::size_t(y) * locked.pitch;
            for (int x = 0; x < width; ++x) {
                if (sixteen)
                    reinterpret_cast<uint16_t*>(out)[x] = uint16_t(ToDisplay(row[x]));
                else
                    reinterpret_cast<uint32_t*>(out)[x] = ToDisplay(row[x]);
            }
        }
        surface->Unlock();
    }
    spareBits = std::move(bits);
    readBackValid = false;
    DropDerivedData();
    bitsFromSurface = false;
}

void DDImage::CommitBits() {
    if (!surface) MemoryImage::CommitBits();
}

void DDImage::SetBits(const uint32_t* pixels, int w, int h) {
    MemoryImage::SetBits(pixels, w, h);
    bitsFromSurface = false;  // a new picture: nothing in it was read back
}

void DDImage::Create(int w, int h) {
    FreeBits();
    readBack.reset();
    spareBits.reset();
    readBackValid = false;
    bitsFromSurface = false;
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
