// SoundManager: the table of loaded sound effects (ids 0-255) and the pool of 32
// playing instances. Abstract, so the game depends on this interface only;
// MixerSoundManager is the implementation.
#pragma once

#include <string>

#include "sound/SoundInstance.h"

namespace Varn {

class SoundManager {
public:
    virtual ~SoundManager() = default;
    // True when a sound device is open; without one nothing loads and nothing plays.
    virtual bool Initialized() = 0;
    // Loads `name` + ".wav", else ".mp3", else ".ogg" as sound `id`.
    virtual bool LoadSound(unsigned id, const std::string& name) = 0;
    // The volume (0 ... 1) of every instance, applied again to those in the pool.
    virtual void SetVolume(double volume) = 0;
    // A new stopped instance of sound `id` from the pool, or null (no device, unknown
    // id, or 32 unreleased instances). The pool keeps ownership.
    virtual SoundInstance* GetSoundInstance(unsigned id) = 0;
    virtual void ReleaseSounds() = 0;
    virtual void ReleaseChannels() = 0;
    // The output's overall gain, 0 ... 1.
    virtual double GetMasterVolume() = 0;
    virtual void SetMasterVolume(double volume) = 0;
    virtual void Flush() = 0;
};

}  // namespace Varn
