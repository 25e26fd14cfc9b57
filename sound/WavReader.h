// WavReader: reads RIFF/WAVE files of uncompressed PCM sound effects.
// Accepts format tag 1 with 8-bit (unsigned) or 16-bit (signed) samples, one or two
// channels, any rate in [kMinSampleRate, kMaxSampleRate]; converts to 16-bit.
// Chunks before "fmt " (LIST and the like) are skipped; a "fmt " chunk longer than
// 16 bytes has its extra bytes skipped; odd-sized chunks are padded to even length.
// Every size is checked against the bytes actually present, so a damaged file is
// refused (empty result) instead of read past its end. A truncated "data" chunk is
// refused too. Without a "fmt " chunk before "data" the format is 16-bit mono 22050 Hz.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "sound/PcmSample.h"

namespace Varn {

// Largest file the reader loads; sound effects are far smaller.
constexpr std::uintmax_t kMaxWavFileBytes = 64u * 1024u * 1024u;

std::optional<PcmSample> ReadWavMemory(std::span<const std::uint8_t> bytes);

// Reads the whole file (refusing files above kMaxWavFileBytes) and parses it.
std::optional<PcmSample> ReadWavFile(const std::string& path);

}  // namespace Varn
