// MixerSoundInstance: a SoundInstance as one voice of the mixer, playing a sample of
// the manager's table. The voice keeps its own reference to the sample, so releasing
// the table while the sound plays is safe.
#pragma once

#include <memory>

#include "sound/Mixer.h"
#include "sound/PcmSample.h"
#include "sound/SoundInstance.h"

namespace Varn {

class MixerSoundManager;

class MixerSoundInstance final : public SoundInstance {
public:
    // Takes a voice for `sample`; without a free voice the instance cannot play.
    MixerSoundInstance(MixerSoundManager& manager, std::shared_ptr<const PcmSample> sample);
    ~MixerSoundInstance() override;
    MixerSoundInstance(const MixerSoundInstance&) = delete;
    MixerSoundInstance& operator=(const MixerSoundInstance&) = delete;

    void Release() override;
    void SetVolume(double volume) override;
    void SetPan(int pan) override;
    bool Play(bool looping, bool autoRelease) override;
    void Stop() override;
    bool IsPlaying() override;
    bool IsReleased() override;

    // Sends volume x the manager's volume to the voice (after either changes).
    void ApplyVolume();

private:
    MixerSoundManager& manager_;
    Mixer::Handle voice_;
    bool autoRelease_ = false;
    bool hasPlayed_ = false;
    bool released_ = false;
    double volume_ = 1.0;
};

}  // namespace Varn
