// The three songs: load in libopenmpt, last at least a minute before looping,
// use several channels, and render without clipping or silence.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "tests/data/GameDataReaders.h"

namespace gemlode_data_test {
namespace {

const char* const kSongs[] = {"1984-network.s3m", "1981-datajack.s3m", "1980-autonomus.s3m"};

TEST(DataMusic, SongsLoadAndLastAMinute) {
    for (const char* song : kSongs) {
        SCOPED_TRACE(song);
        std::vector<uint8_t> bytes = ReadFile(GameDir() + "/music/" + song);
        ASSERT_GT(bytes.size(), 0x60u);
        EXPECT_EQ(std::string(bytes.begin() + 0x2C, bytes.begin() + 0x30), "SCRM");
        std::unique_ptr<openmpt::module> m;
        ASSERT_NO_THROW(m = std::make_unique<openmpt::module>(bytes));
        EXPECT_EQ(m->get_metadata("type"), "s3m");
        EXPECT_GE(m->get_duration_seconds(), 60.0);
        EXPECT_GE(m->get_num_channels(), 8);
        EXPECT_GE(m->get_num_samples(), 6);
    }
}

TEST(DataMusic, SongsRenderWithoutClippingOrSilence) {
    for (const char* song : kSongs) {
        SCOPED_TRACE(song);
        openmpt::module m(ReadFile(GameDir() + "/music/" + song));
        std::vector<float> left(4800), right(4800);
        float peak = 0;
        double energy = 0;
        size_t frames = 0, n;
        while ((n = m.read(48000, left.size(), left.data(), right.data())) > 0) {
            for (size_t i = 0; i < n; ++i) {
                peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
                energy += left[i] * left[i] + right[i] * right[i];
            }
            frames += n;
        }
        EXPECT_LT(peak, 1.0f) << "no clipping";
        double rms = std::sqrt(energy / (2.0 * std::max<size_t>(frames, 1)));
        EXPECT_GT(rms, 0.03) << "audible";
        EXPECT_GE(frames / 48000.0, 60.0);
    }
}

// Title calm, normal steady, timed urgent: tempos rise in that order.
TEST(DataMusic, TemposMatchTheMoods) {
    auto tempo = [](const char* song) {
        std::vector<uint8_t> b = ReadFile(GameDir() + "/music/" + song);
        return b.size() > 0x32 ? static_cast<int>(b[0x32]) : 0;
    };
    EXPECT_LT(tempo("1980-autonomus.s3m"), tempo("1984-network.s3m"));
    EXPECT_LT(tempo("1984-network.s3m"), tempo("1981-datajack.s3m"));
}

}  // namespace
}  // namespace gemlode_data_test
