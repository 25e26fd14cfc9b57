// MemoryImage: an image whose pixels live in ordinary memory, drawn in software.
// Pixels are packed 32-bit values alpha << 24 | blue << 16 | green << 8 | red, not
// premultiplied, rows top to bottom without padding. Derived data (transparency flags, the
// premultiplied display-format copy and two run-length tables) is computed on demand and
// cached until the next BitsChanged.
// Limits: FillRect, Blt and StretchBlt expect rectangles already clipped by the caller;
// they clip again to both images so a bad rectangle draws less instead of corrupting memory.
// DrawLine is inherited from Image and draws nothing. Not thread-safe per image.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/Image.h"

namespace Varn {

class Graphics;
class ImageRegistry;

class MemoryImage : public Image {
public:
    // registry may be null (tests, scratch images); otherwise the image stays in it for life.
    explicit MemoryImage(ImageRegistry* registry);
    MemoryImage(const MemoryImage& other);
    MemoryImage& operator=(const MemoryImage&) = delete;
    ~MemoryImage() override;

    // Always writes opaque pixels; the colour's alpha and the draw mode are ignored.
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    // Alpha-blends a MemoryImage source (any other kind draws nothing); white is untinted.
    void Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
             int drawMode) override;
    // Area-weighted scaling of a MemoryImage source; tint and draw mode are ignored.
    void StretchBlt(Image* source, const Rect& destRect, const FRect& sourceRect,
                    const Color& color, int drawMode) override;

    // Premultiplied pixels in a display format given by its channel masks (depth 16 or 32).
    // Cached; the masks are not part of the cache key.
    virtual uint32_t* GetNativeAlphaData(int depth, uint32_t redMask, uint32_t greenMask,
                                         uint32_t blueMask);
    // One byte per pixel: pixels left in its run of transparent/opaque/partial, capped at 255.
    virtual uint8_t* GetRunLengthAlphaData();
    // One byte per pixel: pixels left in its run of black/non-black native pixels.
    virtual uint8_t* GetRunLengthAdditiveData(int depth, uint32_t redMask, uint32_t greenMask,
                                              uint32_t blueMask);
    virtual void BitsChanged();
    virtual void CommitBits();
    virtual void SetTransparencyFlags(bool hasTransparent, bool hasPartialAlpha);
    // Drops the display-format copy and everything derived from it (a new display format).
    virtual void DeleteNativeData();
    virtual void Clear();
    virtual void SetBits(const uint32_t* pixels, int w, int h);
    virtual void Create(int w, int h);
    // Allocates zero pixels if there are none. Call BitsChanged after writing into them.
    virtual uint32_t* GetBits();

    // A drawing context on this image; the caller owns it.
    std::unique_ptr<Graphics> GetGraphics();

    bool HasTrans() const { return hasTrans; }
    bool HasAlpha() const { return hasAlpha; }
    bool AreBitsChanged() const { return bitsChanged; }
    ImageRegistry* GetRegistry() const { return registry; }

protected:
    std::size_t PixelCount() const;
    void FreeBits();

    std::unique_ptr<uint32_t[]> bits;
    bool transFlagsForced = false;
    bool hasTrans = false;
    bool hasAlpha = false;
    std::unique_ptr<uint32_t[]> nativeAlphaData;
    std::unique_ptr<uint8_t[]> runLengthAlphaData;
    std::unique_ptr<uint8_t[]> runLengthAdditiveData;
    bool bitsChanged = false;
    ImageRegistry* registry = nullptr;
};

}  // namespace Varn
