// DDImage: a MemoryImage that can also hold its picture in a display surface of its
// device's layout. A picture without partial alpha moves into a colour-keyed surface (its
// transparent pixels get a key value that no opaque pixel uses) and is then copied by the
// surface's keyed rectangle copy; the screen itself is a DDImage around the draw surface.
//
// While a surface exists it is the picture: the memory pixels may be absent and GetBits reads
// them back (16 bits: each channel widened with half of its lost step, so 5-6-5 white reads
// (252, 254, 252); 32 bits: exact). Read-back pixels equal to the colour key come back
// transparent, and a read-back pixel converts to the same surface value again, also after
// other pixels of the picture were edited, so purging, editing and rebuilding never drift.
//
// As a destination without transparency of its own, drawing goes straight into the locked
// surface through the surface drawers; otherwise (or when no surface can be had) it is
// drawn in memory exactly as a MemoryImage draws. Text goes into the surface through
// DrawCoverage. Writing into GetBits and calling BitsChanged also works: an ordinary image
// then lets its surface go (it is rebuilt on demand), the screen writes the change back.
// Limits: one thread per image; the device must outlive the image or detach it.
#pragma once

#include <memory>

#include "graphics/DDSurface.h"
#include "graphics/MemoryImage.h"

namespace Varn {

class DDInterface;
namespace SurfaceDraw {
struct Target;
}

class DDImage : public MemoryImage {
public:
    explicit DDImage(DDInterface* device);
    DDImage(const DDImage&) = delete;
    DDImage& operator=(const DDImage&) = delete;
    ~DDImage() override;

    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color,
                  int drawMode) override;
    void Blt(Image* source, int x, int y, const Rect& sourceRect, const Color& color,
             int drawMode) override;
    void StretchBlt(Image* source, const Rect& destRect, const FRect& sourceRect,
                    const Color& color, int drawMode) override;
    void BitsChanged() override;
    void CommitBits() override;
    void SetBits(const uint32_t* pixels, int w, int h) override;
    void Create(int w, int h) override;
    uint32_t* GetBits() override;
    // Derived data made from pixels read back for it does not keep them: the surface still
    // holds the picture.
    uint32_t* GetNativeAlphaData(int depth, uint32_t redMask, uint32_t greenMask,
                                 uint32_t blueMask) override;
    uint8_t* GetRunLengthAlphaData() override;

    // The surface drawers; each returns the surface result (0 on success).
    virtual int NormalFillRect(const Rect& rect, const Color& color);
    virtual int AdditiveFillRect(const Rect& rect, const Color& color);
    virtual int NormalBlt(Image* source, int x, int y, const Rect& sourceRect, const Color& tint);
    virtual int AdditiveBlt(Image* source, int x, int y, const Rect& sourceRect, const Color& tint);
    virtual int NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual int AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    // Text into the surface (SysFont): a coverage mask of width x height (row stride in bytes)
    // at (x, y) in the colour's red, green and blue, written only inside clip. Full coverage
    // writes the colour; partial coverage moves each channel towards it. False, drawing
    // nothing, when the image cannot have a surface (partial alpha): draw into GetBits then.
    bool DrawCoverage(int x, int y, const uint8_t* coverage, int w, int h, int stride,
                      const Color& color, const Rect& clip);
    // Adopts a surface; the image takes its width and height.
    virtual void SetSurface(std::unique_ptr<DDSurface> newSurface);

    // Moves the memory picture into a colour-keyed surface; false for pictures with partial
    // alpha, without an initialised device, or on any failure (the image stays in memory).
    bool GenerateSurface();
    // Lets the memory pixels go when the surface reads them back exactly (32 bits), so a
    // loaded picture is held once; GetBits reads them back on demand. False when they stay.
    // Only for a picture nobody holds a GetBits pointer into.
    bool ReleaseBitsToSurface();
    // Reads the surface back into memory and releases it.
    void PurgeSurface();
    // The surface, generated on demand; null if there can be none.
    DDSurface* GetSurface();
    bool HasSurface() const { return surface != nullptr; }
    bool HasBits() const { return bits != nullptr; }
    DDInterface* GetDevice() const { return device; }
    // Called by a device that goes away first: the image becomes a plain memory image.
    void DetachDevice();
    // Marks the device's screen image (see keepsSurface).
    void KeepSurface() { keepsSurface = true; }

private:
    bool DrawsInMemory();
    template <typename Derive>
    auto DeriveFromSurface(Derive&& derive);
    void SurfaceDrawingDone();
    void DropDerivedData();
    bool ChooseColorKey(uint32_t& key);
    uint32_t ToDisplay(uint32_t pixel) const;
    void WriteBitsToSurface();
    template <typename Draw>
    int DrawLocked(int firstRow, int endRow, Draw&& draw);

    DDInterface* device;
    std::unique_ptr<DDSurface> surface;
    // The device's screen: its surface is the draw surface and is never let go; a change
    // to its memory pixels is written back into it instead.
    bool keepsSurface = false;
    std::unique_ptr<uint32_t[]> readBack;  // the screen's pixels as last read back
    bool readBackValid = false;
    std::unique_ptr<uint32_t[]> spareBits;  // the screen's memory array, kept for reuse
    // The memory picture was read back from a surface (and maybe edited since): its
    // read-back pixels convert to the surface values they came from (see ToDisplay).
    bool bitsFromSurface = false;
};

}  // namespace Varn
