// PcmSample: one decoded sound effect held in memory, ready for the mixer.
// Always signed 16-bit, interleaved, one or two channels, at the file's own rate;
// the mixer resamples to the device rate while playing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Varn {

struct PcmSample {
    int channels = 1;        // 1 (mono) or 2 (stereo, left first)
    int sampleRate = 22050;  // frames per second
    std::vector<std::int16_t> data;

    std::size_t FrameCount() const {
        return channels > 0 ? data.size() / static_cast<std::size_t>(channels) : 0;
    }
};

// Rates outside this range are refused by the readers: they are certainly damaged
// headers, and the resampling step must stay finite and non-zero.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;

}  // namespace Varn
