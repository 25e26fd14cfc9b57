// MixerSoundInstance: voice control and the auto-release rule.
#include "sound/MixerSoundInstance.h"

#include "sound/MixerSoundManager.h"
#include "sound/SoundVolume.h"

namespace Varn {

MixerSoundInstance::MixerSoundInstance(MixerSoundManager& manager,
                                       std::shared_ptr<const PcmSample> sample)
    : manager_(manager), voice_(manager.GetMixer().CreateVoice(std::move(sample))) {
    ApplyVolume();
}

MixerSoundInstance::~MixerSoundInstance() {
    manager_.GetMixer().DestroyVoice(voice_);
}

void MixerSoundInstance::Release() {
    Stop();
    released_ = true;
}

void MixerSoundInstance::SetVolume(double volume) {
    volume_ = volume;
    ApplyVolume();
}

void MixerSoundInstance::ApplyVolume() {
    if (!voice_.IsValid()) return;
    manager_.GetMixer().SetVoiceVolume(voice_, VolumeToDecibels(volume_ * manager_.GetVolume()));
}

void MixerSoundInstance::SetPan(int pan) {
    manager_.GetMixer().SetVoicePan(voice_, pan);
}

bool MixerSoundInstance::Play(bool looping, bool autoRelease) {
    hasPlayed_ = true;
    autoRelease_ = autoRelease;
    if (!voice_.IsValid()) return false;
    return manager_.GetMixer().PlayVoice(voice_, looping);
}

void MixerSoundInstance::Stop() {
    manager_.GetMixer().StopVoice(voice_);
}

bool MixerSoundInstance::IsPlaying() {
    if (!hasPlayed_ || !voice_.IsValid()) return false;
    return manager_.GetMixer().IsVoicePlaying(voice_);
}

bool MixerSoundInstance::IsReleased() {
    if (!released_ && autoRelease_ && hasPlayed_ && !IsPlaying()) Release();
    return released_;
}

}  // namespace Varn
