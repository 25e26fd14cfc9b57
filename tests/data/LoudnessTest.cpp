// Every song and effect measured in EBU R128 loudness units (libebur128) against the
// mix targets: songs as the game renders them at unity, effects as their files decode.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "tests/data/GameDataReaders.h"
#include "tools/datagen/Levelling.h"
#include "tools/datagen/MixTargets.h"
#include "tools/loudness/Loudness.h"

namespace gemlode_data_test {
namespace {

using namespace Varn;

TEST(DataLoudness, EverySongIsAtTheSongTarget) {
    for (const char* song : {"1984-network.s3m", "1981-datajack.s3m", "1980-autonomus.s3m"}) {
        SCOPED_TRACE(song);
        const auto pcm = Loudness::RenderModuleOnce(ReadFile(GameDir() + "/music/" + song));
        const auto f = Loudness::Measure(pcm, 2, Loudness::kGameRate);
        ASSERT_TRUE(f.valid);
        EXPECT_NEAR(f.lufs, DataGen::kSongLufs, DataGen::kSongToleranceLu);
        EXPECT_LE(f.truePeakDb, DataGen::kMaxTruePeakDb);
    }
}

TEST(DataLoudness, EveryEffectIsAtItsClassTarget) {
    for (const auto& entry : DataGen::kEffectClasses) {
        const std::string name(entry.effect);
        SCOPED_TRACE(name);
        int channels = 0, rate = 0;
        const auto pcm = Loudness::DecodeEffect(GameDir() + "/sounds/" + name, channels, rate);
        ASSERT_EQ(channels, 1);
        const auto f = Loudness::Measure(pcm, 1, rate);
        ASSERT_TRUE(f.valid);
        EXPECT_EQ(f.windowed, pcm.size() < Loudness::kGatingBlockSeconds * rate);
        EXPECT_NEAR(f.lufs, DataGen::TargetOf(entry.effectClass).lufs, DataGen::kEffectToleranceLu);
        EXPECT_LE(f.truePeakDb, DataGen::kMaxTruePeakDb);
    }
}

TEST(DataLoudness, EveryEffectFileHasAClass) {
    std::set<std::string> classified;
    for (const auto& entry : DataGen::kEffectClasses) classified.emplace(entry.effect);
    for (const auto& file : std::filesystem::directory_iterator(GameDir() + "/sounds"))
        EXPECT_EQ(classified.count(file.path().stem().string()), 1u) << file.path();
}

TEST(DataLevelling, BringsAnEffectToItsClassTarget) {
    std::vector<float> tone(44100);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = 0.01f * std::sin(0.06f * i);
    std::string problem;
    ASSERT_TRUE(DataGen::LevelEffect("gotset2", tone, problem)) << problem;
    EXPECT_NEAR(Loudness::Measure(tone, 1, 44100).lufs, -27.0, 0.01);
}

TEST(DataLevelling, RefusesWhatItCannotLevel) {
    std::vector<float> silence(44100, 0.0f), click(44100, 0.0f);
    click[100] = 0.5f;  // one sample: at the target its true peak would be far over -1 dBTP
    std::vector<float> tone(44100, 0.1f);
    std::string problem;
    EXPECT_FALSE(DataGen::LevelEffect("no-such-effect", tone, problem));
    EXPECT_FALSE(DataGen::LevelEffect("gotset2", silence, problem));
    EXPECT_FALSE(DataGen::LevelEffect("go1", click, problem));
    EXPECT_FALSE(problem.empty());
}

}  // namespace
}  // namespace gemlode_data_test
