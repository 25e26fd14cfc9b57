// The twenty sound effects: present as WAV (read as the game's own WAV reader
// does) or only as Ogg, decodable by libsndfile, of sane length, not clipped.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>

#include "tests/data/GameDataReaders.h"

namespace gemlode_data_test {
namespace {

const char* const kSounds[] = {"gotset2",   "gotsetbig2",  "combo22",   "combo32",    "combo42",
                               "combo52",   "bad2",        "gemongem2", "explode2",   "click2",
                               "select",    "menuclick",   "multishot", "go1",        "levelup1",
                               "gameover1", "firecrackle", "warning1",  "whirlpool1", "excellent1"};

std::string SoundPath(const std::string& name, const char* ext) {
    return GameDir() + "/sounds/" + name + ext;
}

// Decodes with libsndfile to 16-bit, reading until it returns no more frames.
std::vector<int16_t> Decode(const std::string& path, int* rate) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return {};
    *rate = info.samplerate;
    std::vector<int16_t> out, chunk(4096 * std::max(1, info.channels));
    sf_count_t n;
    while ((n = sf_readf_short(f, chunk.data(), 4096)) > 0)
        for (sf_count_t i = 0; i < n; ++i)
            out.push_back(chunk[static_cast<size_t>(i * info.channels)]);
    sf_close(f);
    return out;
}

TEST(DataSoundEffects, EachEffectIsOneWavOrOneOgg) {
    int oggOnly = 0;
    for (const char* name : kSounds) {
        bool wav = FileExists(SoundPath(name, ".wav")), ogg = FileExists(SoundPath(name, ".ogg"));
        EXPECT_NE(wav, ogg) << name;
        EXPECT_FALSE(FileExists(SoundPath(name, ".mp3"))) << name;
        oggOnly += ogg && !wav;
    }
    EXPECT_GE(oggOnly, 2) << "the game decodes Ogg for real";
    EXPECT_LE(oggOnly, 5) << "most effects are WAV";
}

TEST(DataSoundEffects, WavFilesSuitTheGamesReader) {
    for (const char* name : kSounds) {
        if (!FileExists(SoundPath(name, ".wav"))) continue;
        SCOPED_TRACE(name);
        WavInfo w = ReadWav(SoundPath(name, ".wav"));
        ASSERT_TRUE(w.valid);
        EXPECT_EQ(w.fmtSize, 16u) << "the game reads exactly 16 format bytes";
        EXPECT_EQ(w.bits, 16);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 44100);
    }
}

TEST(DataSoundEffects, EveryEffectDecodesWithSaneLengthAndNoClipping) {
    for (const char* name : kSounds) {
        SCOPED_TRACE(name);
        bool wav = FileExists(SoundPath(name, ".wav"));
        int rate = 0;
        std::vector<int16_t> s = Decode(SoundPath(name, wav ? ".wav" : ".ogg"), &rate);
        ASSERT_FALSE(s.empty());
        double seconds = static_cast<double>(s.size()) / rate;
        EXPECT_GE(seconds, 0.02);
        EXPECT_LE(seconds, 4.0);
        int peak = 0;
        for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LT(peak, 32000) << "no clipping";
        // Loudness itself is checked in LoudnessTest; quiet clicks peak near -20 dBFS.
        EXPECT_GT(peak, 1500) << "not near-silent";
    }
}

// Zero crossings per second over the first 0.1 s: a rough pitch measure.
double CrossingRate(const std::vector<int16_t>& s, int rate) {
    size_t n = std::min(s.size(), static_cast<size_t>(rate / 10));
    int crossings = 0;
    for (size_t i = 1; i < n; ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
    return crossings * 10.0;
}

TEST(DataSoundEffects, CascadeChimesRise) {
    double previous = 0;
    for (const char* name : {"combo22", "combo32", "combo42", "combo52"}) {
        int rate = 0;
        std::vector<int16_t> s = Decode(SoundPath(name, ".wav"), &rate);
        double pitch = CrossingRate(s, rate);
        EXPECT_GT(pitch, previous) << name;
        previous = pitch;
    }
}

TEST(DataSoundEffects, WhirlpoolLoopsWithoutAStep) {
    int rate = 0;
    std::vector<int16_t> s = Decode(SoundPath("whirlpool1", ".wav"), &rate);
    ASSERT_GT(s.size(), 1000u);
    int typicalStep = 0;
    for (size_t i = 1; i < s.size(); ++i)
        typicalStep = std::max(typicalStep, std::abs(s[i] - s[i - 1]));
    int joinStep = std::abs(s.front() - s.back());
    EXPECT_LE(joinStep, typicalStep)
        << "the jump from end to start is no bigger than any step inside";
    EXPECT_LT(joinStep, 2000);
}

}  // namespace
}  // namespace gemlode_data_test
