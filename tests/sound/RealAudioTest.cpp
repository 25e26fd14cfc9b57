// End-to-end tests: a real Ogg Vorbis effect and a real .s3m module, both made here,
// rendered through the mixer on the headless audio sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/headless/HeadlessAudioDevice.h"
#include "sound/MixerSoundManager.h"
#include "sound/ModulePlayer.h"
#include "sound/MusicInterface.h"
#include "tests/sound/SoundTestFiles.h"
#include "tools/loudness/Loudness.h"

namespace Varn {
namespace {

int Peak(const std::vector<std::int16_t>& pcm) {
    int peak = 0;
    for (std::int16_t v : pcm) peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

class RealAudioTest : public ::testing::Test {
protected:
    HeadlessAudioDevice& Device() {
        return static_cast<HeadlessAudioDevice&>(*output_->GetDevice());
    }

    test::ScratchFolder folder_;
    std::shared_ptr<AudioOutput> output_ =
        std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>());
};

TEST_F(RealAudioTest, OggEffectPlaysAudiblyAndInRange) {
    const std::string name = folder_.File("tone");
    ASSERT_TRUE(test::WriteOggVorbis(name + ".ogg", 22050, 1, 0.5, 440.0));
    MixerSoundManager sounds(output_);
    ASSERT_TRUE(sounds.LoadSound(0, name));
    SoundInstance* instance = sounds.GetSoundInstance(0);
    ASSERT_NE(instance, nullptr);
    instance->Play(false, true);
    const auto pcm = Device().Pull(4410);
    // A 0.5-amplitude sine: the peak lies near 16384, well clear of silence and clipping.
    EXPECT_GT(Peak(pcm), 12000);
    EXPECT_LT(Peak(pcm), 20000);
    Device().Pull(44100);  // past its half second
    EXPECT_TRUE(instance->IsReleased());
    EXPECT_EQ(Peak(Device().Pull(1000)), 0);
}

TEST_F(RealAudioTest, ModuleSongPlaysLoopsAndPausesThroughTheMixer) {
    test::WriteFile(folder_.File("song.s3m"), test::TinyS3m());
    MusicInterface music(output_);
    ASSERT_TRUE(music.LoadMusic(0, folder_.File("song.s3m")));
    EXPECT_EQ(Peak(Device().Pull(4410)), 0);  // loaded, not playing

    music.SetVolume(1.0);
    music.PlayMusic(0);
    const auto first = Device().Pull(44100);
    EXPECT_GT(Peak(first), 1000);
    EXPECT_LE(Peak(first), 32767);
    // The pattern lasts 64 rows x 0.12 s = 7.7 s; far beyond that it still sounds.
    Device().Pull(44100 * 10);
    EXPECT_GT(Peak(Device().Pull(4410)), 1000);

    music.StopMusic(0);
    EXPECT_EQ(Peak(Device().Pull(4410)), 0);
    music.SetVolume(0.0);
    music.PlayMusic(0);
    EXPECT_EQ(Peak(Device().Pull(4410)), 0);  // global music volume 0
}

// A stopped song holds no module, and goes on from the row where it stopped.
TEST_F(RealAudioTest, StoppedSongLetsItsModuleGoAndGoesOnWhereItStopped) {
    test::WriteFile(folder_.File("song.s3m"), test::TinyS3m());
    ModulePlayer player(output_);
    const MusicPlayer::SongHandle song = player.Load(folder_.File("song.s3m"));
    ASSERT_NE(song, 0u);
    EXPECT_FALSE(player.HoldsModule(song));
    player.Play(song);
    Device().Pull(44100 * 3);
    const double stoppedAt = player.GetPosition(song).value_or(0.0);
    EXPECT_GT(stoppedAt, 2.0);
    player.Stop(song);
    EXPECT_FALSE(player.HoldsModule(song));
    player.Play(song);
    EXPECT_TRUE(player.HoldsModule(song));
    EXPECT_NEAR(player.GetPosition(song).value_or(0.0), stoppedAt, 0.125);  // a row
    EXPECT_GT(Peak(Device().Pull(4410)), 1000);
}

// Whatever the volume, the output is the song times that volume: nothing is lost on
// the way (no whole-percent rounding, no hidden gain).
TEST_F(RealAudioTest, MusicVolumeIsALinearGainOnTheSong) {
    test::WriteFile(folder_.File("song.s3m"), test::TinyS3m());
    const auto reference = Loudness::RenderModuleOnce(test::TinyS3m());
    ASSERT_FALSE(reference.empty());
    for (double volume : {0.2, 0.2283, 0.0137}) {
        SCOPED_TRACE(volume);
        MusicInterface music(output_);
        ASSERT_TRUE(music.LoadMusic(0, folder_.File("song.s3m")));
        music.SetVolume(volume);
        music.PlayMusic(0);
        const auto pcm = Device().Pull(4410);
        int worst = 0;
        ASSERT_GE(reference.size(), pcm.size());
        for (std::size_t i = 0; i < pcm.size(); ++i) {
            const double expected = reference[i] * volume * 32768.0;
            worst = std::max(worst, static_cast<int>(std::fabs(pcm[i] - expected)));
        }
        EXPECT_LE(worst, 1);
        EXPECT_GT(Peak(pcm), 32768 * volume * 0.2);
    }
}

// The loudest settings, every voice the game can start at once on one tone (a sum 16
// times full scale), over the song: the limiter holds the output under full scale.
TEST_F(RealAudioTest, EveryVoiceAtFullVolumeOverTheSongStaysUnderFullScale) {
    test::WriteFile(folder_.File("song.s3m"), test::TinyS3m());
    ASSERT_TRUE(test::WriteOggVorbis(folder_.File("tone.ogg"), 44100, 1, 1.0, 660.0));
    MusicInterface music(output_);
    MixerSoundManager sounds(output_);
    ASSERT_TRUE(music.LoadMusic(0, folder_.File("song.s3m")));
    ASSERT_TRUE(sounds.LoadSound(0, folder_.File("tone")));
    music.SetVolume(1.0);
    music.PlayMusic(0);
    for (int i = 0; i < MixerSoundManager::kPoolSize; ++i)
        sounds.GetSoundInstance(0)->Play(false, true);
    const int peak = Peak(Device().Pull(22050));
    EXPECT_LE(peak, static_cast<int>(MasterLimiter::kCeiling * 32768.0f) + 1);
    EXPECT_GT(peak, 25000);  // held down, not silenced
}

TEST_F(RealAudioTest, MusicAndEffectsShareOneOutput) {
    test::WriteFile(folder_.File("song.s3m"), test::TinyS3m());
    const std::string tone = folder_.File("tone");
    ASSERT_TRUE(test::WriteOggVorbis(tone + ".ogg", 44100, 2, 1.0, 660.0));
    MusicInterface music(output_);
    MixerSoundManager sounds(output_);
    ASSERT_TRUE(music.LoadMusic(0, folder_.File("song.s3m")));
    ASSERT_TRUE(sounds.LoadSound(0, tone));

    music.PlayMusic(0);
    const int musicOnly = Peak(Device().Pull(4410));
    sounds.GetSoundInstance(0)->Play(false, true);
    const int both = Peak(Device().Pull(4410));
    EXPECT_GT(musicOnly, 0);
    EXPECT_GT(both, musicOnly);
}

TEST(ModulePlayer, RefusesFilesThatAreNotModules) {
    test::ScratchFolder folder;
    test::WriteFile(folder.File("noise.s3m"), test::Bytes(3000, 0x5A));
    ModulePlayer player(std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>()));
    EXPECT_EQ(player.Load(folder.File("noise.s3m")), 0u);
    EXPECT_EQ(player.Load(folder.File("absent.s3m")), 0u);
    test::WriteFile(folder.File("empty.s3m"), {});
    EXPECT_EQ(player.Load(folder.File("empty.s3m")), 0u);
}

TEST(ModulePlayer, LoadsWithoutADeviceAndStaysSilent) {
    test::ScratchFolder folder;
    test::WriteFile(folder.File("song.s3m"), test::TinyS3m());
    MusicInterface music(
        std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>(false)));
    EXPECT_TRUE(music.LoadMusic(0, folder.File("song.s3m")));
    music.PlayMusic(0);
    music.UpdateMusic();
}

}  // namespace
}  // namespace Varn
