// ImageRegistry: a mutex-guarded set of image pointers.
#include "graphics/ImageRegistry.h"

#include "graphics/MemoryImage.h"

namespace Varn {

void ImageRegistry::AddImage(MemoryImage* image) {
    std::lock_guard<std::mutex> lock(mutex);
    images.insert(image);
}

void ImageRegistry::RemoveImage(MemoryImage* image) {
    std::lock_guard<std::mutex> lock(mutex);
    images.erase(image);
}

bool ImageRegistry::Contains(const MemoryImage* image) const {
    std::lock_guard<std::mutex> lock(mutex);
    return images.count(const_cast<MemoryImage*>(image)) != 0;
}

std::size_t ImageRegistry::Count() const {
    std::lock_guard<std::mutex> lock(mutex);
    return images.size();
}

void ImageRegistry::ForEachImage(const std::function<void(MemoryImage*)>& visit) {
    std::lock_guard<std::mutex> lock(mutex);
    for (MemoryImage* image : images) visit(image);
}

void ImageRegistry::DeleteAllNativeData() {
    ForEachImage([](MemoryImage* image) { image->DeleteNativeData(); });
}

}  // namespace Varn
