// The game's real output, recorded from the headless audio sink over a scripted
// minute (the title, then the first moves of a seeded game), measured in EBU R128.
#include <gtest/gtest.h>

#include <cmath>

#include "AppHarness.h"
#include "tools/loudness/Loudness.h"

namespace Varn::test {
namespace {

constexpr int kFramesPerTick = AudioDevice::kSampleRate / 100;  // a tick is 10 ms
constexpr int kMinuteTicks = 6000;

// Songs are mastered at -16 LUFS; the default music volume 0.5 x 0.4 is a gain of 0.2.
const double kDefaultMusicLufs = -16.0 + 20.0 * std::log10(0.5 * 0.4);

TEST(SoundMix, MusicAtTheDefaultSettingsIsAsLoudAsTheChainStates) {
    AppHarness h;
    std::vector<float> recording;
    int ticks = 0;
    h.afterTick = [&] {
        ++ticks;
        for (std::int16_t s : h.platform.audio->Pull(kFramesPerTick))
            recording.push_back(static_cast<float>(s) / 32768.0f);
    };
    h.Start();
    ASSERT_NE(h.platform.audio, nullptr);
    ASSERT_EQ(h.app->GetMusicVolume(), 0.5);
    h.app->SetSfxVolume(0.0);  // the music alone; its volume stays at the default
    h.app->commandSeed = 27;
    h.Tick(2000);  // twenty seconds of the title song
    h.StartPlaying();
    while (ticks < kMinuteTicks && h.MakeMove()) h.Tick(300);
    if (ticks < kMinuteTicks) h.Tick(kMinuteTicks - ticks);

    const auto figures = Loudness::Measure(recording, 2, AudioDevice::kSampleRate);
    ASSERT_TRUE(figures.valid);
    EXPECT_NEAR(figures.lufs, kDefaultMusicLufs, 2.0);
    EXPECT_GE(ticks, kMinuteTicks);
}

}  // namespace
}  // namespace Varn::test
