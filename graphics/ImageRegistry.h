// ImageRegistry: the application's set of live memory images.
// Every MemoryImage adds itself on construction and removes itself on destruction, so the
// application can drop every image's display-format cache when the display format changes.
// Images are made on the loading thread as well as the main thread, hence the mutex.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <unordered_set>

namespace Varn {

class MemoryImage;

class ImageRegistry {
public:
    ImageRegistry() = default;
    ImageRegistry(const ImageRegistry&) = delete;
    ImageRegistry& operator=(const ImageRegistry&) = delete;

    void AddImage(MemoryImage* image);
    void RemoveImage(MemoryImage* image);
    bool Contains(const MemoryImage* image) const;
    std::size_t Count() const;

    // Calls visit on every live image while holding the lock: visit must not create or
    // destroy images.
    void ForEachImage(const std::function<void(MemoryImage*)>& visit);
    // DeleteNativeData on every live image (after a display format change).
    void DeleteAllNativeData();

private:
    mutable std::mutex mutex;
    std::unordered_set<MemoryImage*> images;
};

}  // namespace Varn
