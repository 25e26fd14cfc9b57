// Loudness: libebur128 and libopenmpt behind two plain functions.
#include "tools/loudness/Loudness.h"

#include <ebur128.h>
#include <libopenmpt/libopenmpt.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace Varn::Loudness {

namespace {

using State = std::unique_ptr<ebur128_state, void (*)(ebur128_state*)>;

void Destroy(ebur128_state* state) {
    ebur128_destroy(&state);
}

double ToDb(double linear) {
    return linear > 0.0 ? 20.0 * std::log10(linear) : -1e9;
}

double TruePeakDb(ebur128_state* state, int channels) {
    double peak = 0.0;
    for (int c = 0; c < channels; ++c) {
        double channelPeak = 0.0;
        if (ebur128_true_peak(state, static_cast<unsigned>(c), &channelPeak) == EBUR128_SUCCESS)
            peak = std::max(peak, channelPeak);
    }
    return ToDb(peak);
}

}  // namespace

Figures Measure(const float* samples, std::size_t frames, int channels, int rate, bool truePeak) {
    Figures figures;
    if (channels <= 0 || rate <= 0 || frames == 0) return figures;
    State state(ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                             truePeak ? EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK : EBUR128_MODE_I),
                &Destroy);
    if (!state) return figures;
    if (ebur128_add_frames_float(state.get(), samples, frames) != EBUR128_SUCCESS) return figures;
    const double seconds = static_cast<double>(frames) / rate;
    figures.windowed = seconds < kGatingBlockSeconds;
    int status = EBUR128_SUCCESS;
    if (figures.windowed) {
        // The whole clip as one window (whole milliseconds: the last fraction of one is left out).
        const auto ms = static_cast<unsigned long>(std::floor(seconds * 1000.0));
        status = ms == 0 ? EBUR128_ERROR_INVALID_MODE
                         : ebur128_loudness_window(state.get(), ms, &figures.lufs);
    } else {
        status = ebur128_loudness_global(state.get(), &figures.lufs);
    }
    if (truePeak) figures.truePeakDb = TruePeakDb(state.get(), channels);
    figures.valid = status == EBUR128_SUCCESS && std::isfinite(figures.lufs);
    return figures;
}

std::vector<float> RenderModuleOnce(const std::vector<std::uint8_t>& bytes, int rate) {
    std::vector<float> out;
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), &openmpt_log_func_silent, nullptr, &openmpt_error_func_ignore,
        nullptr, &error, nullptr, nullptr);
    if (!module) return out;
    openmpt_module_set_repeat_count(module, 0);
    std::vector<float> block(2 * 4096);
    std::size_t got = 0;
    while ((got = openmpt_module_read_interleaved_float_stereo(module, rate, 4096, block.data())) >
           0)
        out.insert(out.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(2 * got));
    openmpt_module_destroy(module);
    return out;
}

std::vector<float> DecodeEffect(const std::string& base, int& channels, int& rate) {
    channels = rate = 0;
    for (const char* ext : {".wav", ".ogg"}) {
        SF_INFO info{};
        SNDFILE* file = sf_open((base + ext).c_str(), SFM_READ, &info);
        if (!file) continue;
        std::vector<float> samples(static_cast<std::size_t>(info.frames * info.channels));
        const sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0) * info.channels));
        channels = info.channels;
        rate = info.samplerate;
        return samples;
    }
    return {};
}

}  // namespace Varn::Loudness
