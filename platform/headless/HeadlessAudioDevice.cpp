// HeadlessAudioDevice: runs the mixing callback on the caller's thread on demand.
#include "platform/headless/HeadlessAudioDevice.h"

#include <algorithm>

namespace Varn {

bool HeadlessAudioDevice::Open(MixCallback callback) {
    if (!available_ || callback_ || !callback) return false;
    callback_ = std::move(callback);
    return true;
}

std::vector<std::int16_t> HeadlessAudioDevice::Pull(int frames, int blockFrames) {
    std::vector<std::int16_t> out;
    if (!callback_ || frames <= 0) return out;
    out.resize(static_cast<std::size_t>(frames) * kChannels);
    blockFrames = std::max(1, blockFrames);
    for (int done = 0; done < frames;) {
        const int count = std::min(blockFrames, frames - done);
        callback_(out.data() + static_cast<std::size_t>(done) * kChannels, count);
        done += count;
    }
    return out;
}

}  // namespace Varn
