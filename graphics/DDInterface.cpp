// DDInterface: Init with its steps and result codes, presentation, colour conversion and
// the registry of DDImages.
#include "graphics/DDInterface.h"

#include <vector>

#include "graphics/DDImage.h"
#include "platform/Platform.h"

namespace Varn {

DDInterface::DDInterface(ImageRegistry* imageRegistry, int screenWidth, int screenHeight)
    : registry(imageRegistry), width(screenWidth), height(screenHeight) {
    format = DisplayFormat::FromLayout(PixelLayout::Xrgb8888());
}

DDInterface::~DDInterface() {
    std::lock_guard guard(lock);
    CleanUp();
    // Images the application still holds carry on as memory images.
    for (DDImage* image : images) image->DetachDevice();
    images.clear();
}

void DDInterface::CleanUp() {
    screenImage.reset();
}

int DDInterface::Init(PlatformWindow* targetWindow, bool isWindowed) {
    std::lock_guard guard(lock);
    initialised = false;
    formatReady = false;
    // Each with whether the surface was its only copy, as it stays where the new one is exact.
    std::vector<std::pair<DDImage*, bool>> purged;
    for (DDImage* image : images) {
        if (image == screenImage.get() || !image->HasSurface()) continue;
        purged.emplace_back(image, !image->HasBits());
        image->PurgeSurface();
    }
    CleanUp();
    window = targetWindow;
    windowed = isWindowed;
    int result = CreateDisplay(isWindowed);
    if (result != RESULT_OK) return result;
    for (auto [image, surfaceOnly] : purged)
        if (images.count(image) && image->GenerateSurface() && surfaceOnly)
            image->ReleaseBitsToSurface();
    screenImage = std::make_unique<DDImage>(this);
    screenImage->SetSurface(std::move(pendingDrawSurface));
    screenImage->KeepSurface();
    initialised = true;
    return RESULT_OK;
}

// Chooses the layout and makes the draw surface.
int DDInterface::CreateDisplay(bool isWindowed) {
    if (!window || !window->Exists()) return RESULT_DD_CREATE_FAIL;
    // Full screen keeps the desktop's mode, so it draws at the window's depth too; only a
    // desktop depth a window cannot use leaves it at 16 bits.
    PixelLayout layout = PixelLayout::Rgb565();
    int bytes = window->DesktopBytesPerPixel();
    if (bytes == 4)
        layout = PixelLayout::Xrgb8888();
    else if (bytes != 2 && isWindowed)
        return RESULT_INVALID_COLORDEPTH;
    pendingDrawSurface = DDSurface::Create(width, height, layout);
    if (!pendingDrawSurface) return RESULT_SURFACE_FAIL;
    format = DisplayFormat::FromLayout(layout);
    formatReady = true;
    return RESULT_OK;
}

bool DDInterface::Redraw() {
    if (!initialised || !window || !screenImage) return false;
    DDSurface* surface = screenImage->GetSurface();
    if (!surface) return false;
    FrameView frame;
    frame.pixels = surface->Pixels();
    frame.pitch = surface->GetPitch();
    frame.width = surface->GetWidth();
    frame.height = surface->GetHeight();
    frame.format = format.layout.bitCount == 16 ? PixelFormat::kRgb565 : PixelFormat::kXrgb8888;
    surface->TakeDirtyRows(frame.firstDirtyRow, frame.endDirtyRow);
    if (window->Present(frame)) return true;
    surface->MarkAllDirty();
    return false;
}

Image* DDInterface::GetScreenImage() {
    return screenImage.get();
}

uint32_t DDInterface::ConvertColor(uint32_t packed) const {
    auto channel = [](uint32_t value, uint32_t mask) {
        return uint32_t(uint64_t(value) * mask / 255) & mask;
    };
    return channel(packed & 0xFF, format.red.mask) |
           channel(packed >> 8 & 0xFF, format.green.mask) |
           channel(packed >> 16 & 0xFF, format.blue.mask);
}

void DDInterface::AddDDImage(DDImage* image) {
    std::lock_guard guard(lock);
    images.insert(image);
}

void DDInterface::RemoveDDImage(DDImage* image) {
    std::lock_guard guard(lock);
    images.erase(image);
}

bool DDInterface::HasDDImage(DDImage* image) {
    std::lock_guard guard(lock);
    return images.count(image) != 0;
}

}  // namespace Varn
