// Tests of the sound manager and its instances on the headless audio sink: file
// search order, the 32-instance pool and its reuse rule, volumes and pan.
#include "sound/MixerSoundManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/headless/HeadlessAudioDevice.h"
#include "tests/sound/SoundTestFiles.h"

namespace Varn {
namespace {

std::vector<std::int16_t> ConstantSamples(std::int16_t value, std::size_t frames) {
    return std::vector<std::int16_t>(frames, value);
}

class SoundManagerTest : public ::testing::Test {
protected:
    HeadlessAudioDevice& Device() {
        return static_cast<HeadlessAudioDevice&>(*output_->GetDevice());
    }

    // A mono 44.1 kHz WAV of `frames` frames at `value`, loaded as sound `id`.
    void LoadConstant(unsigned id, std::int16_t value, std::size_t frames) {
        const std::string name = folder_.File("sound" + std::to_string(id));
        test::WriteFile(name + ".wav", test::Wav16(ConstantSamples(value, frames), 1, 44100));
        ASSERT_TRUE(manager_.LoadSound(id, name));
    }

    // Left and right of the last frame of a pull of `frames` frames.
    std::pair<int, int> LastFrame(int frames = 512) {
        const auto out = Device().Pull(frames);
        return {out[out.size() - 2], out[out.size() - 1]};
    }

    test::ScratchFolder folder_;
    std::shared_ptr<AudioOutput> output_ =
        std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>());
    MixerSoundManager manager_{output_};
};

TEST(SoundManagerWithoutDevice, LoadsNothingAndPlaysNothing) {
    test::ScratchFolder folder;
    test::WriteFile(folder.File("a.wav"), test::Wav16({1, 2, 3}, 1, 22050));
    MixerSoundManager manager(
        std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>(false)));
    EXPECT_FALSE(manager.Initialized());
    EXPECT_FALSE(manager.LoadSound(0, folder.File("a")));
    EXPECT_EQ(manager.GetSoundInstance(0), nullptr);
    MixerSoundManager noOutput(nullptr);
    EXPECT_FALSE(noOutput.Initialized());
}

TEST_F(SoundManagerTest, WavIsPreferredOverMp3OfTheSameName) {
    const std::string name = folder_.File("both");
    test::WriteFile(name + ".wav", test::Wav16(ConstantSamples(1000, 20000), 1, 44100));
    ASSERT_TRUE(test::WriteMp3(name + ".mp3", 44100, 1, 0.5, 440.0));
    ASSERT_TRUE(manager_.LoadSound(3, name));
    SoundInstance* instance = manager_.GetSoundInstance(3);
    ASSERT_NE(instance, nullptr);
    instance->Play(false, true);
    EXPECT_EQ(LastFrame(), std::make_pair(1000, 1000));  // the constant WAV, not a tone
}

TEST_F(SoundManagerTest, FallsBackToMp3ThenOgg) {
    const std::string oggOnly = folder_.File("oggonly");
    ASSERT_TRUE(test::WriteOggVorbis(oggOnly + ".ogg", 22050, 1, 0.3, 440.0));
    EXPECT_TRUE(manager_.LoadSound(1, oggOnly));

    const std::string mp3First = folder_.File("mp3first");
    ASSERT_TRUE(test::WriteMp3(mp3First + ".mp3", 44100, 2, 0.3, 440.0));
    ASSERT_TRUE(test::WriteOggVorbis(mp3First + ".ogg", 44100, 1, 3.0, 440.0));  // longer
    ASSERT_TRUE(manager_.LoadSound(2, mp3First));
    SoundInstance* instance = manager_.GetSoundInstance(2);
    instance->Play(false, true);
    const auto pcm = Device().Pull(4410);
    int peak = 0;
    for (std::int16_t value : pcm) peak = std::max(peak, std::abs(int{value}));
    EXPECT_GT(peak, 10000);  // decoded to audible PCM
    Device().Pull(44100);
    EXPECT_TRUE(instance->IsReleased());  // ended after the MP3's 0.3 s, not the Ogg's 3 s
    EXPECT_FALSE(manager_.LoadSound(4, folder_.File("nothing")));
    EXPECT_EQ(manager_.GetSoundInstance(4), nullptr);
}

TEST_F(SoundManagerTest, RefusesIdsBeyondTheTable) {
    const std::string name = folder_.File("a");
    test::WriteFile(name + ".wav", test::Wav16({1, 2}, 1, 22050));
    EXPECT_FALSE(manager_.LoadSound(256, name));
    EXPECT_TRUE(manager_.LoadSound(255, name));
    EXPECT_EQ(manager_.GetSoundInstance(256), nullptr);
    EXPECT_NE(manager_.GetSoundInstance(255), nullptr);
}

TEST_F(SoundManagerTest, NamesWithBackslashesFindTheirFiles) {
    std::filesystem::create_directories(folder_.Path() / "sounds");
    test::WriteFile(folder_.File("sounds/click.wav"), test::Wav16({1, 2}, 1, 22050));
    EXPECT_TRUE(manager_.LoadSound(0, folder_.Path().string() + "/sounds\\click"));
}

TEST_F(SoundManagerTest, ThirtyThirdUnfinishedSoundIsNotPlayedUntilOneFinishes) {
    LoadConstant(0, 100, 100000);  // long
    LoadConstant(1, 100, 1000);    // short
    for (int i = 0; i < MixerSoundManager::kPoolSize - 1; ++i) {
        SoundInstance* instance = manager_.GetSoundInstance(0);
        ASSERT_NE(instance, nullptr) << i;
        instance->Play(false, true);
    }
    manager_.GetSoundInstance(1)->Play(false, true);
    EXPECT_EQ(manager_.GetSoundInstance(0), nullptr);  // 32 unfinished: pool full

    Device().Pull(2000);  // the short one ends
    SoundInstance* reused = manager_.GetSoundInstance(0);
    ASSERT_NE(reused, nullptr);
    EXPECT_EQ(manager_.GetSoundInstance(0), nullptr);  // only that one slot was free
}

TEST_F(SoundManagerTest, UnplayedAndLoopingInstancesHoldTheirSlotsUntilReleased) {
    LoadConstant(0, 100, 500);
    std::vector<SoundInstance*> held;
    for (int i = 0; i < MixerSoundManager::kPoolSize; ++i)
        held.push_back(manager_.GetSoundInstance(0));
    held[0]->Play(true, false);  // looping, released by its owner
    Device().Pull(5000);
    EXPECT_TRUE(held[0]->IsPlaying());
    EXPECT_EQ(manager_.GetSoundInstance(0), nullptr);
    held[0]->Release();
    EXPECT_FALSE(held[0]->IsPlaying());
    EXPECT_NE(manager_.GetSoundInstance(0), nullptr);
}

TEST_F(SoundManagerTest, AutoReleaseHappensOnlyAfterTheSoundEnds) {
    LoadConstant(0, 100, 1000);
    SoundInstance* instance = manager_.GetSoundInstance(0);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_FALSE(instance->IsReleased());  // not played yet
    EXPECT_TRUE(instance->Play(false, true));
    EXPECT_TRUE(instance->IsPlaying());
    EXPECT_FALSE(instance->IsReleased());
    Device().Pull(1500);
    EXPECT_FALSE(instance->IsPlaying());
    EXPECT_TRUE(instance->IsReleased());
}

TEST_F(SoundManagerTest, ManagerVolumeIsAppliedAgainToPlayingInstances) {
    LoadConstant(0, 16384, 100000);
    SoundInstance* instance = manager_.GetSoundInstance(0);
    instance->Play(false, true);
    EXPECT_EQ(LastFrame(), std::make_pair(16384, 16384));

    manager_.SetVolume(0.5);  // -605 hundredths of a decibel
    const double expected = 16384 * std::pow(10.0, -605 / 2000.0);
    EXPECT_NEAR(LastFrame().first, expected, 2);

    instance->SetVolume(0.5);  // 0.25 overall: -1138
    EXPECT_NEAR(LastFrame().first, 16384 * std::pow(10.0, -1138 / 2000.0), 2);

    manager_.SetVolume(0.0);
    EXPECT_EQ(LastFrame(), std::make_pair(0, 0));
    EXPECT_TRUE(instance->IsPlaying());  // silent, still playing
}

TEST_F(SoundManagerTest, NewInstancesTakeTheManagerVolume) {
    LoadConstant(0, 16384, 100000);
    manager_.SetVolume(0.0);
    manager_.GetSoundInstance(0)->Play(false, true);
    EXPECT_EQ(LastFrame(), std::make_pair(0, 0));
}

TEST_F(SoundManagerTest, PanFromTheBoardAttenuatesTheOtherSide) {
    LoadConstant(0, 16384, 100000);
    SoundInstance* instance = manager_.GetSoundInstance(0);
    instance->SetPan(-800);  // left of the board
    instance->Play(false, true);
    const auto [left, right] = LastFrame();
    EXPECT_EQ(left, 16384);
    EXPECT_NEAR(right, 16384 * std::pow(10.0, -800 / 2000.0), 2);
}

TEST_F(SoundManagerTest, MasterVolumeIsTheOutputGain) {
    LoadConstant(0, 20000, 100000);
    manager_.GetSoundInstance(0)->Play(false, true);
    EXPECT_EQ(manager_.GetMasterVolume(), 1.0);
    manager_.SetMasterVolume(0.25);
    EXPECT_EQ(manager_.GetMasterVolume(), 0.25);
    EXPECT_EQ(LastFrame(), std::make_pair(5000, 5000));
}

TEST_F(SoundManagerTest, ReleasingSamplesWhilePlayingIsSafe) {
    LoadConstant(0, 3000, 100000);
    SoundInstance* instance = manager_.GetSoundInstance(0);
    instance->Play(true, false);
    manager_.ReleaseSounds();
    EXPECT_EQ(LastFrame(), std::make_pair(3000, 3000));  // the voice holds its sample
    EXPECT_EQ(manager_.GetSoundInstance(0), nullptr);
    manager_.ReleaseChannels();
    EXPECT_EQ(LastFrame(), std::make_pair(0, 0));
}

}  // namespace
}  // namespace Varn
