// SndfileReader: libsndfile decoding loop.
#include "sound/SndfileReader.h"

#include <sndfile.h>
#include <unistd.h>

#include <memory>

#include "platform/RegularFile.h"

namespace Varn {

namespace {

struct Descriptor {
    int value;
    ~Descriptor() {
        if (value >= 0) close(value);
    }
};

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

std::optional<PcmSample> ReadCompressedFile(const std::string& path) {
    SF_INFO info{};
    const Descriptor fd{OpenRegularFile(path)};  // never a FIFO or a device
    if (fd.value < 0) return std::nullopt;
    // Closed after the decoder (declared first), whether or not it opened.
    std::unique_ptr<SNDFILE, SndfileCloser> file(sf_open_fd(fd.value, SFM_READ, &info, SF_FALSE));
    if (!file) return std::nullopt;
    if (info.channels != 1 && info.channels != 2) return std::nullopt;
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate) return std::nullopt;

    PcmSample sample;
    sample.channels = info.channels;
    sample.sampleRate = info.samplerate;
    // The frame count in the header is only a hint (MP3 files can over-report it):
    // read until the decoder has no more.
    constexpr sf_count_t kChunkFrames = 4096;
    std::size_t frames = 0;
    for (;;) {
        sample.data.resize((frames + kChunkFrames) * static_cast<std::size_t>(info.channels));
        const sf_count_t got =
            sf_readf_short(file.get(), sample.data.data() + frames * info.channels, kChunkFrames);
        if (got <= 0) break;
        frames += static_cast<std::size_t>(got);
        if (frames > kMaxDecodedFrames) return std::nullopt;
    }
    sample.data.resize(frames * static_cast<std::size_t>(info.channels));
    if (frames == 0) return std::nullopt;
    return sample;
}

}  // namespace Varn
