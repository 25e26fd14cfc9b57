// SoundTestFiles: sound files made by the tests themselves: WAV bytes with chosen
// chunk layouts, Ogg Vorbis and MP3 written through libsndfile, and a tiny looping
// Scream Tracker 3 module. Also a scratch folder that removes itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Varn::test {

// A fresh empty folder below the system temp folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

using Bytes = std::vector<std::uint8_t>;

void AppendU16(Bytes& bytes, std::uint32_t value);
void AppendU32(Bytes& bytes, std::uint32_t value);
void AppendTag(Bytes& bytes, const char* tag);
// A chunk: tag, size, body and (for odd sizes) a pad byte.
void AppendChunk(Bytes& bytes, const char* tag, const Bytes& body);
// The 16 bytes (plus `extra` more) of a PCM "fmt " chunk body.
Bytes FormatBody(int channels, int rate, int bits, int extra = 0);
// "RIFF" size "WAVE" followed by `chunks`.
Bytes RiffWave(const Bytes& chunks);
// A plain 16-bit PCM file of the given samples (interleaved when stereo).
Bytes Wav16(const std::vector<std::int16_t>& samples, int channels, int rate);

void WriteFile(const std::string& path, const Bytes& bytes);

// A sine tone at `frequency`, amplitude 0.5, encoded by libsndfile. False if the
// library cannot encode that format here.
bool WriteOggVorbis(const std::string& path, int rate, int channels, double seconds,
                    double frequency);
bool WriteMp3(const std::string& path, int rate, int channels, double seconds, double frequency);

// A one-pattern .s3m module: a looping 8-bit square-wave instrument playing a note on
// each of `channels` channels (1-16, alternately left and right), so it sounds from
// the first row for ever.
Bytes TinyS3m(int channels = 2);

}  // namespace Varn::test
