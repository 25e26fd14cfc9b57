// SdlAudioDevice: opens SDL's audio subsystem on demand and feeds it from the callback.
#include "platform/sdl/SdlAudioDevice.h"

#include <SDL.h>

#include <cstdio>

namespace Varn {

SdlAudioDevice::~SdlAudioDevice() {
    Close();
}

bool SdlAudioDevice::Open(MixCallback callback) {
    if (deviceId_ != 0 || !callback) return false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "audio: no audio subsystem: %s\n", SDL_GetError());
        return false;
    }
    subsystemStarted_ = true;
    callback_ = std::move(callback);

    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = 512;  // about 12 ms: short enough for effects to feel immediate
    wanted.callback = &SdlAudioDevice::Trampoline;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to the hardware format itself, so the mixer
    // always sees 44.1 kHz stereo 16-bit.
    deviceId_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (deviceId_ == 0) {
        std::fprintf(stderr, "audio: no sound device: %s\n", SDL_GetError());
        Close();
        return false;
    }
    SDL_PauseAudioDevice(deviceId_, 0);
    return true;
}

void SdlAudioDevice::Close() {
    if (deviceId_ != 0) {
        // SDL_CloseAudioDevice waits for a running callback to return.
        SDL_CloseAudioDevice(deviceId_);
        deviceId_ = 0;
    }
    if (subsystemStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystemStarted_ = false;
    }
    callback_ = nullptr;
}

void SdlAudioDevice::Trampoline(void* self, unsigned char* stream, int bytes) {
    auto* device = static_cast<SdlAudioDevice*>(self);
    const int frames = bytes / static_cast<int>(kChannels * sizeof(std::int16_t));
    device->callback_(reinterpret_cast<std::int16_t*>(stream), frames);
}

std::unique_ptr<AudioDevice> CreateSdlAudioDevice() {
    return std::make_unique<SdlAudioDevice>();
}

}  // namespace Varn
