// MixerSoundManager: sample table, file search order and the instance pool.
#include "sound/MixerSoundManager.h"

#include <algorithm>

#include "sound/SndfileReader.h"
#include "sound/WavReader.h"

namespace Varn {

std::string GamePath(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::optional<PcmSample> LoadSoundFile(const std::string& name) {
    const std::string base = GamePath(name);
    if (auto sample = ReadWavFile(base + ".wav")) return sample;
    if (auto sample = ReadCompressedFile(base + ".mp3")) return sample;
    return ReadCompressedFile(base + ".ogg");
}

MixerSoundManager::MixerSoundManager(std::shared_ptr<AudioOutput> output)
    : output_(std::move(output)) {
    if (!output_) output_ = std::make_shared<AudioOutput>(nullptr);
}

MixerSoundManager::~MixerSoundManager() {
    ReleaseChannels();
    ReleaseSounds();
}

bool MixerSoundManager::Initialized() {
    return output_->IsOpen();
}

bool MixerSoundManager::LoadSound(unsigned id, const std::string& name) {
    if (id >= kMaxSounds || !Initialized()) return false;
    auto sample = LoadSoundFile(name);
    if (!sample) return false;
    samples_[id] = std::make_shared<const PcmSample>(std::move(*sample));
    return true;
}

void MixerSoundManager::SetVolume(double volume) {
    volume_ = volume;
    for (auto& instance : pool_) {
        if (instance) instance->ApplyVolume();
    }
}

SoundInstance* MixerSoundManager::GetSoundInstance(unsigned id) {
    if (!Initialized() || id >= kMaxSounds || !samples_[id]) return nullptr;
    for (auto& slot : pool_) {
        if (slot && !slot->IsReleased()) continue;
        slot.reset();  // a released instance gives its voice back first
        slot = std::make_unique<MixerSoundInstance>(*this, samples_[id]);
        return slot.get();
    }
    return nullptr;
}

void MixerSoundManager::ReleaseSounds() {
    for (auto& sample : samples_) sample.reset();
}

void MixerSoundManager::ReleaseChannels() {
    for (auto& instance : pool_) instance.reset();
}

double MixerSoundManager::GetMasterVolume() {
    return output_->GetMixer().GetMasterGain();
}

void MixerSoundManager::SetMasterVolume(double volume) {
    output_->GetMixer().SetMasterGain(volume);
}

}  // namespace Varn
