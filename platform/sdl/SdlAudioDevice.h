// SdlAudioDevice: AudioDevice on an SDL2 audio device (default output, 44.1 kHz,
// stereo, 16-bit; SDL converts if the hardware wants something else).
// Fails to open on machines without a sound device; the game then runs silently.
#pragma once

#include <memory>

#include "platform/AudioDevice.h"

namespace Varn {

class SdlAudioDevice final : public AudioDevice {
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice() override;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    bool Open(MixCallback callback) override;
    void Close() override;
    bool IsOpen() const override { return deviceId_ != 0; }

private:
    static void Trampoline(void* self, unsigned char* stream, int bytes);

    MixCallback callback_;
    unsigned deviceId_ = 0;  // SDL_AudioDeviceID; 0 = closed
    bool subsystemStarted_ = false;
};

// The device the game uses.
std::unique_ptr<AudioDevice> CreateSdlAudioDevice();

}  // namespace Varn
