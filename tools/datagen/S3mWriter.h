// S3mWriter: our own Scream Tracker 3 module writer. It lays out the header,
// order list, parapointer tables, pan table, 80-byte sample headers, packed
// patterns and 16-bit unsigned sample data, each block on a 16-byte boundary.
// Limits: 64-row patterns, at most 16 channels, no AdLib instruments.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Varn::DataGen {

constexpr int kS3mRows = 64;
constexpr int kS3mMaxChannels = 16;
constexpr uint8_t kNoNote = 255;
constexpr uint8_t kNoteOff = 254;
constexpr uint8_t kNoVolume = 255;

struct S3mSample {
    std::string name;
    std::vector<int16_t> data;
    bool loop = false;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint8_t volume = 64;
    uint32_t c2spd = 8363;  // playback rate of the note C-4
};

struct S3mEvent {
    uint8_t note = kNoNote;  // octave * 16 + semitone, kNoteOff, or kNoNote
    uint8_t instrument = 0;  // 1-based; 0 = none
    uint8_t volume = kNoVolume;
    uint8_t command = 0;  // 1 = A (speed), 20 = T (tempo); 0 = none
    uint8_t info = 0;
};

struct S3mPattern {
    std::array<std::array<S3mEvent, kS3mMaxChannels>, kS3mRows> rows{};
};

struct S3mModule {
    std::string title;
    int channels = 8;
    uint8_t speed = 6;
    uint8_t tempo = 125;
    uint8_t globalVolume = 64;
    uint8_t masterVolume = 0x30;                 // stereo bit added by the writer
    std::array<uint8_t, kS3mMaxChannels> pan{};  // 0 (left) .. 15 (right)
    std::vector<uint8_t> orders;                 // pattern numbers
    std::vector<S3mSample> samples;
    std::vector<S3mPattern> patterns;
};

// MIDI-style note number (60 = middle C) to the module's note byte.
uint8_t S3mNote(int midi);
std::vector<uint8_t> WriteS3m(const S3mModule& module);

}  // namespace Varn::DataGen
