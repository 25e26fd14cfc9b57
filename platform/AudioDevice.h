// AudioDevice: the narrow seam to the sound output. One stream, always 44.1 kHz,
// stereo, signed 16-bit interleaved; the owner supplies a mixing callback that fills
// whole buffers. The SDL backend calls it on SDL's audio thread; the headless backend
// calls it only when a test pulls frames.
// WARNING: the callback runs on another thread and must not block for long; it may
// be called from Open until Close returns, never after.
#pragma once

#include <cstdint>
#include <functional>

namespace Varn {

class AudioDevice {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    // Fills `frames` stereo frames (2 * frames values) at `out`.
    using MixCallback = std::function<void(std::int16_t* out, int frames)>;

    virtual ~AudioDevice() = default;

    // Opens the output and starts calling `callback`. False when no device could be
    // opened; the owner then stays silent. Opening an open device fails.
    virtual bool Open(MixCallback callback) = 0;
    // Stops the callback (it has returned when Close returns) and releases the output.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
};

}  // namespace Varn
