// Fuzz entry point for the WAV reader: any byte string must parse or be refused
// without reading out of bounds, and an accepted sample must be self-consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sound/WavReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto sample = Varn::ReadWavMemory(std::span<const std::uint8_t>(data, size));
    if (sample) {
        const bool consistent =
            (sample->channels == 1 || sample->channels == 2) && sample->FrameCount() > 0 &&
            sample->data.size() % static_cast<std::size_t>(sample->channels) == 0 &&
            sample->sampleRate >= Varn::kMinSampleRate &&
            sample->sampleRate <= Varn::kMaxSampleRate && sample->data.size() <= size;
        if (!consistent) std::abort();
    }
    return 0;
}
