// Levelling: brings every effect to its class's loudness target and checks every
// song against the song target (MixTargets.h), measured with libebur128. What misses
// its target is refused with a message, so new data cannot drift.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Varn::DataGen {

// The generator keeps this much more room than the targets allow, for what the 16-bit
// and Ogg Vorbis encodings change afterwards.
constexpr double kEncodingMarginLu = 0.5;
constexpr double kEncodingMarginDb = 0.5;

// Scales the mono effect `name` to its class's target (true peak permitting); false,
// with the reason in `problem`, when it has no class or cannot meet its target.
bool LevelEffect(const std::string& name, std::vector<float>& samples, std::string& problem);

// The gain (linear) that brings the module to the song target.
double SongLevelGain(const std::vector<std::uint8_t>& module);
// False, with the reason in `problem`, when the module misses the song target.
bool CheckSong(const std::vector<std::uint8_t>& module, std::string& problem);

}  // namespace Varn::DataGen
