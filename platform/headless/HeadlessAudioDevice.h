// HeadlessAudioDevice: a silent audio sink for tests. It plays nothing, but a test
// can pull any number of frames through the mixing callback and inspect the PCM,
// deterministically and without a sound card. It can also pretend that no device
// exists, to test the silent fallback.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/AudioDevice.h"

namespace Varn {

class HeadlessAudioDevice final : public AudioDevice {
public:
    // `available` false makes Open fail, as on a machine without a sound device.
    explicit HeadlessAudioDevice(bool available = true) : available_(available) {}

    bool Open(MixCallback callback) override;
    void Close() override { callback_ = nullptr; }
    bool IsOpen() const override { return static_cast<bool>(callback_); }

    // Runs the callback for `frames` frames (in blocks of at most `blockFrames`, as a
    // real device would) and returns the interleaved stereo output. Empty when closed.
    std::vector<std::int16_t> Pull(int frames, int blockFrames = 512);

private:
    bool available_;
    MixCallback callback_;
};

}  // namespace Varn
