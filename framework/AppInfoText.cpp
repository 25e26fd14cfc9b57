#include "framework/AppInfoText.h"

#include <cstdio>

namespace Varn {

std::string FormatAppInfoText(const std::string& product, const std::string& version,
                              int64_t loadedMs, bool windowed, uint32_t primaryThreadId) {
    long long seconds = loadedMs > 0 ? loadedMs / 1000 : 0;
    char loaded[48];
    std::snprintf(loaded, sizeof(loaded), "%02lld:%02lld:%02lld", seconds / 3600,
                  (seconds / 60) % 60, seconds % 60);
    char thread[16];
    std::snprintf(thread, sizeof(thread), "%X", primaryThreadId);
    return "Product: " + product + "\n" + "Version: " + version + "\n" + "Time Loaded: " + loaded +
           "\n" + "Fullscreen: " + (windowed ? "No" : "Yes") + "\n" +
           "Primary ThreadId: " + thread + "\n";
}

}  // namespace Varn
