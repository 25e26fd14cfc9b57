// AudioOutput: wires the device callback to the mixer.
#include "sound/AudioOutput.h"

namespace Varn {

AudioOutput::AudioOutput(std::unique_ptr<AudioDevice> device) : device_(std::move(device)) {
    if (device_) {
        device_->Open([this](std::int16_t* out, int frames) { mixer_.Render(out, frames); });
    }
}

AudioOutput::~AudioOutput() {
    if (device_) device_->Close();
}

}  // namespace Varn
