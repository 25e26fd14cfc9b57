// MemoryImage: construction, pixel ownership, flags, fills and the derived-data caches.
#include "graphics/MemoryImage.h"

#include <algorithm>
#include <cstring>

#include "graphics/Graphics.h"
#include "graphics/ImageRegistry.h"

namespace Varn {

namespace {

template <typename T>
std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& from, std::size_t count) {
    if (!from) return nullptr;
    auto copy = std::make_unique_for_overwrite<T[]>(count);
    std::copy(from.get(), from.get() + count, copy.get());
    return copy;
}

// Run-length bytes for one row of classes: pixels left in the run, capped at 255.
template <typename ClassOf>
void FillRunLengthRow(uint8_t* out, int count, ClassOf classOf) {
    int runEnd = count;
    for (int i = count - 1; i >= 0; --i) {
        if (i + 1 < count && classOf(i) != classOf(i + 1)) runEnd = i + 1;
        out[i] = uint8_t(std::min(runEnd - i, 255));
    }
}

int AlphaClass(uint32_t pixel) {
    uint32_t a = pixel >> 24;
    return a == 0 ? 0 : a == 255 ? 1 : 2;
}

}  // namespace

MemoryImage::MemoryImage(ImageRegistry* owner) : registry(owner) {
    if (registry) registry->AddImage(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other),
      hasTrans(other.hasTrans),
      hasAlpha(other.hasAlpha),
      bitsChanged(other.bitsChanged),
      registry(other.registry) {
    std::size_t count = PixelCount();
    bits = CopyArray(other.bits, count);
    nativeAlphaData = CopyArray(other.nativeAlphaData, count);
    runLengthAlphaData = CopyArray(other.runLengthAlphaData, count);
    runLengthAdditiveData = CopyArray(other.runLengthAdditiveData, count);
    if (registry) registry->AddImage(this);
}

MemoryImage::~MemoryImage() {
    if (registry) registry->RemoveImage(this);
}

std::size_t MemoryImage::PixelCount() const {
    if (width <= 0 || height <= 0) return 0;
    return std::size_t(width) * std::size_t(height);
}

void MemoryImage::FreeBits() {
    bits.reset();
}

void MemoryImage::BitsChanged() {
    bitsChanged = true;
    nativeAlphaData.reset();
    runLengthAlphaData.reset();
    runLengthAdditiveData.reset();
}

void MemoryImage::CommitBits() {
    if (!bitsChanged || transFlagsForced) return;
    if (!bits) {
        hasTrans = true;
        hasAlpha = false;
    } else {
        bool trans = false;
        bool alpha = false;
        const uint32_t* p = bits.get();
        std::size_t count = PixelCount();
        for (std::size_t i = 0; i < count; ++i) {
            trans |= p[i] < 0x01000000u;
            alpha |= p[i] >= 0x01000000u && p[i] < 0xFF000000u;
        }
        hasTrans = trans;
        hasAlpha = alpha;
    }
    bitsChanged = false;
}

void MemoryImage::SetTransparencyFlags(bool hasTransparent, bool hasPartialAlpha) {
    transFlagsForced = true;
    hasTrans = hasTransparent;
    hasAlpha = hasPartialAlpha;
}

// The additive run lengths are built from the native values (a faint pixel is black in 5-6-5
// but not in 32 bits), so they go with them.
void MemoryImage::DeleteNativeData() {
    nativeAlphaData.reset();
    runLengthAdditiveData.reset();
}

void MemoryImage::Clear() {
    uint32_t* p = GetBits();
    std::fill(p, p + PixelCount(), 0u);
    BitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int w, int h) {
    FreeBits();
    width = std::max(w, 0);
    height = std::max(h, 0);
    std::size_t count = PixelCount();
    bits = std::make_unique_for_overwrite<uint32_t[]>(count);
    if (pixels)
        std::memcpy(bits.get(), pixels, count * sizeof(uint32_t));
    else
        std::fill(bits.get(), bits.get() + count, 0u);
    BitsChanged();
    CommitBits();
}

void MemoryImage::Create(int w, int h) {
    FreeBits();
    width = std::max(w, 0);
    height = std::max(h, 0);
    bits = std::make_unique<uint32_t[]>(PixelCount());
    BitsChanged();
    CommitBits();
}

uint32_t* MemoryImage::GetBits() {
    if (!bits) bits = std::make_unique<uint32_t[]>(PixelCount());
    return bits.get();
}

std::unique_ptr<Graphics> MemoryImage::GetGraphics() {
    return std::make_unique<Graphics>(this);
}

void MemoryImage::FillRect(const Rect& rect, const Color& color, int) {
    Rect r = rect.Intersection(Rect(0, 0, width, height));
    uint32_t value = Color(color.red, color.green, color.blue, 255).ToPacked();
    uint32_t* p = GetBits();
    for (int y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = p + std::size_t(y) * width + r.x;
        std::fill(row, row + r.width, value);
    }
    BitsChanged();
}

uint32_t* MemoryImage::GetNativeAlphaData(int, uint32_t redMask, uint32_t greenMask,
                                          uint32_t blueMask) {
    if (nativeAlphaData) return nativeAlphaData.get();
    CommitBits();
    std::size_t count = PixelCount();
    const uint32_t* p = GetBits();
    nativeAlphaData = std::make_unique_for_overwrite<uint32_t[]>(count);
    uint32_t* out = nativeAlphaData.get();
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t pixel = p[i];
        uint32_t a = pixel >> 24;
        uint32_t r = (pixel & 0xFF) * a / 256;
        uint32_t g = (pixel >> 8 & 0xFF) * a / 256;
        uint32_t b = (pixel >> 16 & 0xFF) * a / 256;
        out[i] = ((redMask * r) >> 8 & redMask) | ((greenMask * g) >> 8 & greenMask) |
                 ((blueMask * b) >> 8 & blueMask) | (pixel & 0xFF000000u);
    }
    return out;
}

uint8_t* MemoryImage::GetRunLengthAlphaData() {
    if (runLengthAlphaData) return runLengthAlphaData.get();
    const uint32_t* p = GetBits();
    runLengthAlphaData = std::make_unique_for_overwrite<uint8_t[]>(PixelCount());
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = p + std::size_t(y) * width;
        FillRunLengthRow(runLengthAlphaData.get() + std::size_t(y) * width, width,
                         [row](int i) { return AlphaClass(row[i]); });
    }
    return runLengthAlphaData.get();
}

uint8_t* MemoryImage::GetRunLengthAdditiveData(int depth, uint32_t redMask, uint32_t greenMask,
                                               uint32_t blueMask) {
    if (runLengthAdditiveData) return runLengthAdditiveData.get();
    const uint32_t* native = GetNativeAlphaData(depth, redMask, greenMask, blueMask);
    runLengthAdditiveData = std::make_unique_for_overwrite<uint8_t[]>(PixelCount());
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = native + std::size_t(y) * width;
        FillRunLengthRow(runLengthAdditiveData.get() + std::size_t(y) * width, width,
                         [row](int i) { return (row[i] & 0x00FFFFFFu) == 0; });
    }
    return runLengthAdditiveData.get();
}

}  // namespace Varn
