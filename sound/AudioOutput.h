// AudioOutput: the audio device together with the mixer that feeds it. The sound
// manager and the music interface share one output (std::shared_ptr), so effects and
// music end up in the same stream and the device outlives both users.
// Without a device (or when it fails to open) the mixer still exists and accepts
// voices and streams; nothing is heard and IsOpen() is false.
#pragma once

#include <memory>

#include "platform/AudioDevice.h"
#include "sound/Mixer.h"

namespace Varn {

class AudioOutput {
public:
    // Opens `device` (may be null) with the mixer as its callback.
    explicit AudioOutput(std::unique_ptr<AudioDevice> device);
    // Closes the device first, so the callback has stopped before the mixer goes.
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    bool IsOpen() const { return device_ && device_->IsOpen(); }
    Mixer& GetMixer() { return mixer_; }
    AudioDevice* GetDevice() { return device_.get(); }

private:
    Mixer mixer_;
    std::unique_ptr<AudioDevice> device_;
};

}  // namespace Varn
