// Tests of the mixer: levels, pan law, mixing, looping, resampling, stop, streams,
// and voices that go away while they play.
#include "sound/Mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace Varn {
namespace {

std::shared_ptr<const PcmSample> Constant(std::int16_t value, std::size_t frames,
                                          int rate = 44100) {
    auto sample = std::make_shared<PcmSample>();
    sample->sampleRate = rate;
    sample->data.assign(frames, value);
    return sample;
}

std::shared_ptr<const PcmSample> Ramp(std::size_t frames, int rate, int stepValue) {
    auto sample = std::make_shared<PcmSample>();
    sample->sampleRate = rate;
    for (std::size_t i = 0; i < frames; ++i)
        sample->data.push_back(static_cast<std::int16_t>(i * stepValue));
    return sample;
}

std::vector<std::int16_t> Render(Mixer& mixer, int frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2, 12345);
    mixer.Render(out.data(), frames);
    return out;
}

// The last frame of a render, once gain ramps have settled.
std::pair<int, int> SettledFrame(Mixer& mixer) {
    const auto out = Render(mixer, 512);
    return {out[1022], out[1023]};
}

TEST(Mixer, SilentWithoutVoices) {
    Mixer mixer;
    for (std::int16_t value : Render(mixer, 300)) EXPECT_EQ(value, 0);
}

TEST(Mixer, VolumeIsInHundredthsOfADecibel) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Constant(16384, 100000));
    mixer.PlayVoice(voice, false);
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(16384, 16384));
    mixer.SetVoiceVolume(voice, -600);  // -6 dB: about half
    const auto [left, right] = SettledFrame(mixer);
    EXPECT_NEAR(left, 16384 * std::pow(10.0, -0.3), 2);
    EXPECT_EQ(left, right);
    mixer.SetVoiceVolume(voice, -10000);
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(0, 0));
}

TEST(Mixer, PanAttenuatesTheOppositeSide) {
    struct Case {
        int pan;
        double left, right;
    };
    const Case cases[] = {
        {0, 16384, 16384},     {2000, 1638.4, 16384},  // right pan: left 20 dB down
        {-800, 6522.6, 16384},                         // inverted below
        {10000, 0, 16384},     {-10000, 16384, 0},
    };
    for (const Case& c : cases) {
        Mixer mixer;
        const auto voice = mixer.CreateVoice(Constant(16384, 100000));
        mixer.SetVoicePan(voice, c.pan);
        mixer.PlayVoice(voice, false);
        const auto [left, right] = SettledFrame(mixer);
        if (c.pan < 0 && c.pan > -10000) {
            EXPECT_NEAR(right, c.left, 2) << c.pan;
            EXPECT_NEAR(left, c.right, 2) << c.pan;
        } else {
            EXPECT_NEAR(left, c.left, 2) << c.pan;
            EXPECT_NEAR(right, c.right, 2) << c.pan;
        }
    }
}

TEST(Mixer, VoicesAddUpAndAreHeldUnderFullScale) {
    Mixer mixer;
    const auto a = mixer.CreateVoice(Constant(8000, 100000));
    const auto b = mixer.CreateVoice(Constant(4000, 100000));
    mixer.PlayVoice(a, false);
    mixer.PlayVoice(b, false);
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(12000, 12000));

    const auto c = mixer.CreateVoice(Constant(30000, 100000));
    mixer.PlayVoice(c, false);
    const int ceiling = static_cast<int>(MasterLimiter::kCeiling * 32768.0f);
    const auto [left, right] = SettledFrame(mixer);
    EXPECT_NEAR(left, ceiling, 1);
    EXPECT_EQ(left, right);
}

TEST(Mixer, LimiterLeavesOrdinaryLevelsBitExactAndRecoversAfterAPeak) {
    Mixer mixer;
    const auto quiet = mixer.CreateVoice(Constant(20000, 1000000));
    mixer.PlayVoice(quiet, true);
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(20000, 20000));
    const auto burst = mixer.CreateVoice(Constant(30000, 4410));
    mixer.PlayVoice(burst, false);
    Render(mixer, 4410 + 44100);  // the burst, then a second to recover
    for (std::int16_t v : Render(mixer, 2000)) EXPECT_EQ(v, 20000);
}

TEST(Mixer, OneShotVoiceEndsAndStartsOverWhenPlayedAgain) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Ramp(100, 44100, 10));
    mixer.PlayVoice(voice, false);
    const auto out = Render(mixer, 300);
    EXPECT_EQ(out[2 * 50], 500);
    EXPECT_EQ(out[2 * 99], 990);
    for (int i = 100; i < 300; ++i) EXPECT_EQ(out[2 * i], 0) << i;
    EXPECT_FALSE(mixer.IsVoicePlaying(voice));

    mixer.PlayVoice(voice, false);
    EXPECT_EQ(Render(mixer, 2)[2], 10);  // from the start again
}

TEST(Mixer, LoopingVoiceRepeatsWithoutEnd) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Ramp(100, 44100, 10));
    mixer.PlayVoice(voice, true);
    const auto out = Render(mixer, 1000);
    for (int i = 0; i < 900; ++i) ASSERT_EQ(out[2 * i], out[2 * (i + 100)]) << i;
    EXPECT_EQ(out[2 * 950], 500);
    EXPECT_TRUE(mixer.IsVoicePlaying(voice));
}

TEST(Mixer, TinyLoopAtAHighRateStaysInsideItsSample) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Ramp(2, kMaxSampleRate, 1000));  // steps ~4 loops a frame
    mixer.PlayVoice(voice, true);
    for (std::int16_t value : Render(mixer, 1000)) {
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 1000);
    }
}

TEST(Mixer, LowerRateIsResampledByInterpolation) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Ramp(1000, 22050, 20));
    mixer.PlayVoice(voice, false);
    const auto out = Render(mixer, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(out[2 * i], 10 * i) << i;  // halfway values between
}

TEST(Mixer, StereoSamplesKeepTheirSides) {
    auto sample = std::make_shared<PcmSample>();
    sample->channels = 2;
    sample->sampleRate = 44100;
    for (int i = 0; i < 1000; ++i) sample->data.insert(sample->data.end(), {1000, -2000});
    Mixer mixer;
    const auto voice = mixer.CreateVoice(sample);
    mixer.PlayVoice(voice, false);
    const auto out = Render(mixer, 10);
    EXPECT_EQ(out[10], 1000);
    EXPECT_EQ(out[11], -2000);
}

TEST(Mixer, StopFadesOutQuicklyAndResumesWhereItStopped) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Ramp(30000, 44100, 1));
    mixer.PlayVoice(voice, false);
    Render(mixer, 1000);
    mixer.StopVoice(voice);
    EXPECT_FALSE(mixer.IsVoicePlaying(voice));
    const auto tail = Render(mixer, 200);
    EXPECT_GT(tail[0], 0);  // no hard cut to zero
    EXPECT_LT(std::abs(tail[2 * 63]), 1064 / 32 + 1);
    for (int i = 64; i < 200; ++i) EXPECT_EQ(tail[2 * i], 0) << i;

    mixer.PlayVoice(voice, false);
    const auto resumed = Render(mixer, 1);
    EXPECT_GT(resumed[0], 1000);  // carries on, does not restart at 0
    EXPECT_TRUE(mixer.IsVoicePlaying(voice));
}

TEST(Mixer, MasterGainScalesTheWholeOutput) {
    Mixer mixer;
    const auto voice = mixer.CreateVoice(Constant(20000, 100000));
    mixer.PlayVoice(voice, true);
    mixer.SetMasterGain(0.5);
    EXPECT_EQ(mixer.GetMasterGain(), 0.5);
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(10000, 10000));
    mixer.SetMasterGain(7.0);
    EXPECT_EQ(mixer.GetMasterGain(), 1.0);
}

TEST(Mixer, StaleHandleDoesNotReachTheVoiceNowInItsSlot) {
    Mixer mixer;
    const auto old = mixer.CreateVoice(Constant(1000, 100000));
    mixer.DestroyVoice(old);
    const auto fresh = mixer.CreateVoice(Constant(1000, 100000));
    ASSERT_EQ(old.slot, fresh.slot);
    EXPECT_FALSE(mixer.PlayVoice(old, false));
    EXPECT_FALSE(mixer.IsVoicePlaying(fresh));
    mixer.PlayVoice(fresh, true);
    mixer.StopVoice(old);
    EXPECT_TRUE(mixer.IsVoicePlaying(fresh));
}

TEST(Mixer, RefusesEmptySamplesAndRunsOutOfVoicesCleanly) {
    Mixer mixer;
    EXPECT_FALSE(mixer.CreateVoice(nullptr).IsValid());
    EXPECT_FALSE(mixer.CreateVoice(std::make_shared<PcmSample>()).IsValid());
    const auto sample = Constant(1, 10);
    for (int i = 0; i < Mixer::kMaxVoices; ++i) ASSERT_TRUE(mixer.CreateVoice(sample).IsValid());
    EXPECT_FALSE(mixer.CreateVoice(sample).IsValid());
}

TEST(Mixer, VoiceOutlivesTheTableThatLoadedItsSample) {
    Mixer mixer;
    auto table = Constant(5000, 100000);
    const auto voice = mixer.CreateVoice(table);
    mixer.PlayVoice(voice, true);
    table.reset();  // the sample table lets go while the voice plays
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(5000, 5000));
    mixer.DestroyVoice(voice);  // the last reference, dropped off the audio thread
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(0, 0));
}

TEST(Mixer, VoicesComeAndGoWhileTheAudioThreadRenders) {
    Mixer mixer;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<std::int16_t> out(1024);
        while (!done) mixer.Render(out.data(), 512);
    });
    for (int i = 0; i < 2000; ++i) {
        const auto voice = mixer.CreateVoice(Constant(static_cast<std::int16_t>(i), 50 + i % 300));
        mixer.SetVoicePan(voice, (i % 21 - 10) * 1000);
        mixer.PlayVoice(voice, i % 2 == 0);
        if (i % 3 == 0) mixer.StopVoice(voice);
        mixer.DestroyVoice(voice);
    }
    done = true;
    audio.join();
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(0, 0));
}

class ConstantStream : public StreamSource {
public:
    void Render(float* out, int frames) override {
        ++calls;
        std::fill(out, out + 2 * frames, 0.25f);
    }
    int calls = 0;
};

TEST(Mixer, StreamsPlayOnlyWhenStartedAndAtTheirGain) {
    Mixer mixer;
    auto source = std::make_shared<ConstantStream>();
    const auto stream = mixer.AddStream(source);
    Render(mixer, 100);
    EXPECT_EQ(source->calls, 0);  // a stopped stream keeps its position
    mixer.SetStreamGain(stream, 0.5);
    mixer.SetStreamPlaying(stream, true);
    EXPECT_TRUE(mixer.IsStreamPlaying(stream));
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(4096, 4096));
    mixer.RemoveStream(stream);
    EXPECT_FALSE(mixer.IsStreamPlaying(stream));
    EXPECT_EQ(SettledFrame(mixer), std::make_pair(0, 0));
}

}  // namespace
}  // namespace Varn
