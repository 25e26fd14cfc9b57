// WavReader: RIFF/WAVE parsing with every size checked against the input.
#include "sound/WavReader.h"

#include <cstring>
#include <vector>

#include "platform/RegularFile.h"

namespace Varn {
namespace {

struct WavFormat {
    int channels = 1;
    int sampleRate = 22050;
    int bitsPerSample = 16;
};

// A bounds-checked little-endian cursor over the file bytes.
class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    const std::uint8_t* Here() const { return bytes_.data() + pos_; }

    bool Skip(std::size_t count) {
        if (count > Remaining()) return false;
        pos_ += count;
        return true;
    }
    bool ReadTag(char (&tag)[4]) {
        if (Remaining() < 4) return false;
        std::memcpy(tag, Here(), 4);
        pos_ += 4;
        return true;
    }
    bool ReadU16(std::uint32_t& value) {
        if (Remaining() < 2) return false;
        value = Here()[0] | (Here()[1] << 8);
        pos_ += 2;
        return true;
    }
    bool ReadU32(std::uint32_t& value) {
        if (Remaining() < 4) return false;
        const std::uint8_t* p = Here();
        value = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                (std::uint32_t{p[3]} << 24);
        pos_ += 4;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

bool TagIs(const char (&tag)[4], const char* expected) {
    return std::memcmp(tag, expected, 4) == 0;
}

// Parses the body of a "fmt " chunk of the given size; the cursor ends after the chunk.
bool ReadFormatChunk(ByteCursor& cursor, std::uint32_t size, WavFormat& format) {
    if (size < 16) return false;
    std::uint32_t tag = 0, channels = 0, rate = 0, bytesPerSecond = 0, blockAlign = 0, bits = 0;
    cursor.ReadU16(tag);
    cursor.ReadU16(channels);
    cursor.ReadU32(rate);
    cursor.ReadU32(bytesPerSecond);
    cursor.ReadU16(blockAlign);
    cursor.ReadU16(bits);
    // The common 18-byte form (and longer extensible forms) carry more after the
    // first 16 bytes; skip it so the next chunk header is read where it really is.
    if (!cursor.Skip(size - 16)) return false;
    if (tag != 1) return false;
    if (channels != 1 && channels != 2) return false;
    if (bits != 8 && bits != 16) return false;
    if (rate < static_cast<std::uint32_t>(kMinSampleRate) ||
        rate > static_cast<std::uint32_t>(kMaxSampleRate)) {
        return false;
    }
    format.channels = static_cast<int>(channels);
    format.sampleRate = static_cast<int>(rate);
    format.bitsPerSample = static_cast<int>(bits);
    return true;
}

std::optional<PcmSample> ConvertData(const std::uint8_t* bytes, std::size_t size,
                                     const WavFormat& format) {
    const std::size_t bytesPerSample = static_cast<std::size_t>(format.bitsPerSample / 8);
    const std::size_t frameBytes = bytesPerSample * static_cast<std::size_t>(format.channels);
    const std::size_t frames = size / frameBytes;  // a partial last frame is dropped
    if (frames == 0) return std::nullopt;
    PcmSample sample;
    sample.channels = format.channels;
    sample.sampleRate = format.sampleRate;
    const std::size_t count = frames * static_cast<std::size_t>(format.channels);
    sample.data.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (bytesPerSample == 1) {
            sample.data[i] = static_cast<std::int16_t>((bytes[i] - 128) * 256);
        } else {
            const std::uint16_t raw =
                static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
            sample.data[i] = static_cast<std::int16_t>(raw);
        }
    }
    return sample;
}

}  // namespace

std::optional<PcmSample> ReadWavMemory(std::span<const std::uint8_t> bytes) {
    ByteCursor cursor(bytes);
    char tag[4];
    if (!cursor.ReadTag(tag) || !TagIs(tag, "RIFF")) return std::nullopt;
    // The RIFF size is ignored: writers often get it wrong, and the real bound is
    // the number of bytes present.
    if (!cursor.Skip(4) || !cursor.ReadTag(tag) || !TagIs(tag, "WAVE")) return std::nullopt;

    WavFormat format;
    while (cursor.Remaining() >= 8) {
        std::uint32_t size = 0;
        cursor.ReadTag(tag);
        cursor.ReadU32(size);
        if (size > cursor.Remaining()) return std::nullopt;  // damaged or truncated
        if (TagIs(tag, "data")) return ConvertData(cursor.Here(), size, format);
        if (TagIs(tag, "fmt ")) {
            if (!ReadFormatChunk(cursor, size, format)) return std::nullopt;
        } else {
            cursor.Skip(size);
        }
        if (size % 2 == 1) cursor.Skip(1);  // pad byte; may be missing at the very end
    }
    return std::nullopt;  // no "data" chunk
}

std::optional<PcmSample> ReadWavFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (ReadRegularFile(path, kMaxWavFileBytes, bytes) != FileRead::Ok) return std::nullopt;
    return ReadWavMemory(bytes);
}

}  // namespace Varn
