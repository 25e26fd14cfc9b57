// MixerSoundManager: the SoundManager of the game, on the shared AudioOutput.
// 256 sample slots (index = sound id) and a pool of 32 instances. An instance slot is
// reused only once its instance reports IsReleased(); with 32 unreleased instances
// GetSoundInstance gives null and the effect is simply not played.
// Threads: LoadSound may run on the loading thread, before the sound is first
// played; everything else belongs to the main thread.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "sound/AudioOutput.h"
#include "sound/MixerSoundInstance.h"
#include "sound/PcmSample.h"
#include "sound/SoundManager.h"

namespace Varn {

class MixerSoundManager final : public SoundManager {
public:
    static constexpr unsigned kMaxSounds = 256;
    static constexpr int kPoolSize = 32;

    explicit MixerSoundManager(std::shared_ptr<AudioOutput> output);
    ~MixerSoundManager() override;
    MixerSoundManager(const MixerSoundManager&) = delete;
    MixerSoundManager& operator=(const MixerSoundManager&) = delete;

    bool Initialized() override;
    // `name` may use '\' as the folder separator ("sounds\gotset2").
    bool LoadSound(unsigned id, const std::string& name) override;
    void SetVolume(double volume) override;
    SoundInstance* GetSoundInstance(unsigned id) override;
    void ReleaseSounds() override;
    void ReleaseChannels() override;
    double GetMasterVolume() override;
    void SetMasterVolume(double volume) override;
    void Flush() override {}

    Mixer& GetMixer() { return output_->GetMixer(); }
    double GetVolume() const { return volume_; }

private:
    std::shared_ptr<AudioOutput> output_;
    std::array<std::shared_ptr<const PcmSample>, kMaxSounds> samples_;
    std::array<std::unique_ptr<MixerSoundInstance>, kPoolSize> pool_;
    double volume_ = 1.0;
};

// The sample for `name`: name + ".wav" (WAV reader), else ".mp3", else ".ogg"
// (libsndfile). '\' in `name` becomes '/'.
std::optional<PcmSample> LoadSoundFile(const std::string& name);

// A file name from the game's tables, which use '\' between folders, as a path here.
std::string GamePath(const std::string& name);

}  // namespace Varn
