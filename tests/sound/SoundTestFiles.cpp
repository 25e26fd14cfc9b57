// SoundTestFiles: builders for the test sound files.
#include "tests/sound/SoundTestFiles.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <random>

namespace Varn::test {

ScratchFolder::ScratchFolder() {
    std::random_device seedless;  // only for a unique folder name, never for data
    path_ = std::filesystem::temp_directory_path() /
            ("gemlode-sound-test-" + std::to_string(seedless()) + "-" + std::to_string(seedless()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

void AppendU16(Bytes& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(Bytes& bytes, std::uint32_t value) {
    AppendU16(bytes, value & 0xffff);
    AppendU16(bytes, value >> 16);
}

void AppendTag(Bytes& bytes, const char* tag) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(tag[i]));
}

void AppendChunk(Bytes& bytes, const char* tag, const Bytes& body) {
    AppendTag(bytes, tag);
    AppendU32(bytes, static_cast<std::uint32_t>(body.size()));
    bytes.insert(bytes.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) bytes.push_back(0);
}

Bytes FormatBody(int channels, int rate, int bits, int extra) {
    Bytes body;
    const int blockAlign = channels * bits / 8;
    AppendU16(body, 1);
    AppendU16(body, static_cast<std::uint32_t>(channels));
    AppendU32(body, static_cast<std::uint32_t>(rate));
    AppendU32(body, static_cast<std::uint32_t>(rate * blockAlign));
    AppendU16(body, static_cast<std::uint32_t>(blockAlign));
    AppendU16(body, static_cast<std::uint32_t>(bits));
    if (extra >= 2) {
        AppendU16(body, static_cast<std::uint32_t>(extra - 2));  // cbSize
        body.resize(body.size() + static_cast<std::size_t>(extra - 2), 0);
    }
    return body;
}

Bytes RiffWave(const Bytes& chunks) {
    Bytes bytes;
    AppendTag(bytes, "RIFF");
    AppendU32(bytes, static_cast<std::uint32_t>(chunks.size() + 4));
    AppendTag(bytes, "WAVE");
    bytes.insert(bytes.end(), chunks.begin(), chunks.end());
    return bytes;
}

Bytes Wav16(const std::vector<std::int16_t>& samples, int channels, int rate) {
    Bytes data;
    for (std::int16_t s : samples) AppendU16(data, static_cast<std::uint16_t>(s));
    Bytes chunks;
    AppendChunk(chunks, "fmt ", FormatBody(channels, rate, 16));
    AppendChunk(chunks, "data", data);
    return RiffWave(chunks);
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

namespace {

bool WriteWithSndfile(const std::string& path, int format, int rate, int channels, double seconds,
                      double frequency) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    if (!sf_format_check(&info)) return false;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const auto frames = static_cast<sf_count_t>(seconds * rate);
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i) {
        const float value = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * frequency * i / rate));
        for (int c = 0; c < channels; ++c)
            samples[static_cast<std::size_t>(i * channels + c)] = value;
    }
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return written == frames;
}

}  // namespace

bool WriteOggVorbis(const std::string& path, int rate, int channels, double seconds,
                    double frequency) {
    return WriteWithSndfile(path, SF_FORMAT_OGG | SF_FORMAT_VORBIS, rate, channels, seconds,
                            frequency);
}

bool WriteMp3(const std::string& path, int rate, int channels, double seconds, double frequency) {
    return WriteWithSndfile(path, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, rate, channels,
                            seconds, frequency);
}

namespace {

void Put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xffff);
    Put16(bytes, at + 2, value >> 16);
}

}  // namespace

Bytes TinyS3m(int channels) {
    // Layout: header 0x00-0x5F, order list and parapointers at 0x60, instrument at
    // 0x70, pattern at 0xC0 (at most 48 + 64 + 2 bytes), sample data at 0x140.
    constexpr std::size_t kInstrument = 0x70, kPattern = 0xC0, kSampleData = 0x140;
    channels = std::clamp(channels, 1, 16);
    constexpr std::uint32_t kSampleLength = 64;
    Bytes s3m(kSampleData + kSampleLength, 0);
    std::memcpy(s3m.data(), "gemlode test", 12);
    s3m[0x1C] = 0x1A;
    s3m[0x1D] = 16;
    Put16(s3m, 0x20, 2);       // orders (even)
    Put16(s3m, 0x22, 1);       // instruments
    Put16(s3m, 0x24, 1);       // patterns
    Put16(s3m, 0x28, 0x1320);  // tracker version
    Put16(s3m, 0x2A, 2);       // unsigned samples
    std::memcpy(s3m.data() + 0x2C, "SCRM", 4);
    s3m[0x30] = 64;    // global volume
    s3m[0x31] = 6;     // speed
    s3m[0x32] = 125;   // tempo
    s3m[0x33] = 0xB0;  // stereo, master volume 48
    for (int c = 0; c < 32; ++c) s3m[0x40 + c] = 255;
    for (int c = 0; c < channels; ++c)
        s3m[0x40 + c] = static_cast<std::uint8_t>(c % 2 == 0 ? c / 2 : 8 + c / 2);
    s3m[0x60] = 0;  // order 0: pattern 0
    s3m[0x61] = 255;
    Put16(s3m, 0x62, kInstrument / 16);
    Put16(s3m, 0x64, kPattern / 16);

    s3m[kInstrument] = 1;  // sample
    std::memcpy(s3m.data() + kInstrument + 1, "square.raw", 10);
    s3m[kInstrument + 0x0D] = 0;
    Put16(s3m, kInstrument + 0x0E, kSampleData / 16);
    Put32(s3m, kInstrument + 0x10, kSampleLength);
    Put32(s3m, kInstrument + 0x14, 0);
    Put32(s3m, kInstrument + 0x18, kSampleLength);
    s3m[kInstrument + 0x1C] = 64;
    s3m[kInstrument + 0x1F] = 1;  // looped
    Put32(s3m, kInstrument + 0x20, 8363);
    std::memcpy(s3m.data() + kInstrument + 0x30, "square", 6);
    std::memcpy(s3m.data() + kInstrument + 0x4C, "SCRS", 4);

    // Pattern: row 0 plays a note with instrument 1 on every channel; 63 empty rows.
    Bytes rows;
    for (int c = 0; c < channels; ++c) {
        const std::uint8_t note = static_cast<std::uint8_t>(0x40 + 16 * (c % 3) + (c * 5) % 12);
        rows.insert(rows.end(), {static_cast<std::uint8_t>(0x20 | c), note, 1});
    }
    rows.resize(rows.size() + 64, 0);  // end of row 0 and rows 1-63
    Put16(s3m, kPattern, static_cast<std::uint32_t>(rows.size() + 2));
    std::copy(rows.begin(), rows.end(), s3m.begin() + kPattern + 2);

    for (std::uint32_t i = 0; i < kSampleLength; ++i) {
        s3m[kSampleData + i] = i < kSampleLength / 2 ? 0xE0 : 0x20;  // unsigned square wave
    }
    return s3m;
}

}  // namespace Varn::test
