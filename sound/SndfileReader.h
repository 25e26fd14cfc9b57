// SndfileReader: decodes compressed sound effects (.mp3, .ogg) through libsndfile into
// 16-bit PCM. Mono and stereo files only; longer files than kMaxDecodedFrames are
// refused rather than filling memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "sound/PcmSample.h"

namespace Varn {

// Two minutes at 48 kHz: far beyond any sound effect, and at most 23 MB of PCM.
constexpr std::size_t kMaxDecodedFrames = 48000u * 120u;

std::optional<PcmSample> ReadCompressedFile(const std::string& path);

}  // namespace Varn
