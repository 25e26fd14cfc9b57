// DDInterface: the display device. It is set up for the main window, windowed or full
// screen, learns the pixel layout (windowed: the desktop's, 2 bytes a pixel giving 16-bit
// 5-6-5 and 4 bytes giving 32-bit x8r8g8b8; full screen the same, and 5-6-5 where the
// desktop's depth is neither), keeps the
// screen-sized draw surface inside the screen image, and presents it by handing the rows
// changed since the last presentation to the platform window.
//
// It also keeps the set of live DDImages, so that a re-initialisation (mode switch, lost
// display) can read their surfaces back into memory and rebuild them afterwards. The set,
// Init and surface generation share one lock: the loading thread makes images and surfaces
// while the main thread may switch modes.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "graphics/DDSurface.h"
#include "graphics/DisplayDevice.h"
#include "graphics/drawers/DisplayFormat.h"

namespace Varn {

class DDImage;
class ImageRegistry;

class DDInterface : public DisplayDevice {
public:
    // The registry is the application's set of memory images (may be null in tests).
    DDInterface(ImageRegistry* registry, int width, int height);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    int Init(PlatformWindow* window, bool windowed) override;
    // Presents the draw surface; false if not initialised or the display was lost.
    bool Redraw() override;
    Image* GetScreenImage() override;
    DDImage* GetScreenDDImage() { return screenImage.get(); }

    // A packed pixel (alpha << 24 | blue << 16 | green << 8 | red) in the display layout:
    // each channel c becomes c * mask / 255 & mask.
    uint32_t ConvertColor(uint32_t packed) const;

    void AddDDImage(DDImage* image);
    void RemoveDDImage(DDImage* image);
    bool HasDDImage(DDImage* image);

    bool IsInitialised() const { return initialised; }
    // The pixel layout is known: surfaces can be made (already during Init's rebuilding).
    bool HasFormat() const { return formatReady; }
    bool IsWindowed() const { return windowed; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetBitDepth() const { return format.layout.bitCount; }
    const DisplayFormat& GetFormat() const { return format; }
    ImageRegistry* GetRegistry() const { return registry; }
    std::recursive_mutex& GetLock() { return lock; }

private:
    void CleanUp();
    int CreateDisplay(bool windowed);

    ImageRegistry* registry;
    int width;
    int height;
    DisplayFormat format;
    bool initialised = false;
    bool formatReady = false;
    PlatformWindow* window = nullptr;
    bool windowed = true;
    std::unique_ptr<DDImage> screenImage;
    std::unique_ptr<DDSurface> pendingDrawSurface;
    std::set<DDImage*> images;
    std::recursive_mutex lock;
};

}  // namespace Varn
