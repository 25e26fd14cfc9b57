// SoundEffects: the game's twenty effects, synthesised (and, for the two spoken
// words, recorded from the espeak-ng speech synthesiser and processed), as
// 44.1 kHz mono. Most are written as 16-bit PCM WAV; a few only as Ogg Vorbis
// so the game's Ogg decoding is used for real.
#pragma once

#include <string>
#include <vector>

namespace Varn::DataGen {

struct SoundEffect {
    std::string name;
    std::vector<float> samples;  // -1..1
    bool ogg = false;            // stored only as name.ogg
};

constexpr int kSampleRate = 44100;

std::vector<SoundEffect> MakeSoundEffects();
bool WriteSoundEffect(const std::string& soundsDir, const SoundEffect& effect);

}  // namespace Varn::DataGen
