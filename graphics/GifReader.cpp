// GIF reading: our own decoder for the first image of a GIF87a/GIF89a file in memory.
// Every read is checked against the end of the data and every table index against the
// table, so no input can make the decoder leave its buffers.
// Choices where files are odd: the picture starts transparent black, so rows the data
// never reaches stay transparent; without any colour table an index i shows as the opaque
// grey (i, i, i); indices past the end of a short table show opaque black; a stream that
// keeps coding after the 4096-entry string table is full decodes on without adding entries
// (as GIF's deferred clear allows).
#include <array>
#include <cstring>

#include "graphics/ImageLoader.h"

namespace Varn {

namespace {

class ByteReader {
public:
    ByteReader(const uint8_t* bytes, std::size_t count) : data(bytes), size(count) {}
    bool Byte(int& out) {
        if (position >= size) return false;
        out = data[position++];
        return true;
    }
    bool Word(int& out) {
        int lo = 0, hi = 0;
        if (!Byte(lo) || !Byte(hi)) return false;
        out = lo | hi << 8;
        return true;
    }
    bool Bytes(uint8_t* out, std::size_t count) {
        if (count > size - position) return false;
        std::memcpy(out, data + position, count);
        position += count;
        return true;
    }
    bool Skip(std::size_t count) {
        if (count > size - position) return false;
        position += count;
        return true;
    }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

using Palette = std::array<uint32_t, 256>;

bool ReadColorTable(ByteReader& in, int flags, Palette& palette) {
    int entries = 1 << ((flags & 7) + 1);
    palette.fill(0xFF000000u);
    for (int i = 0; i < entries; ++i) {
        uint8_t rgb[3];
        if (!in.Bytes(rgb, 3)) return false;
        palette[i] = 0xFF000000u | uint32_t(rgb[2]) << 16 | uint32_t(rgb[1]) << 8 | rgb[0];
    }
    return true;
}

// Reads an extension's sub-blocks; a graphic control block may set the transparent index.
bool ReadExtension(ByteReader& in, int& transparentIndex) {
    int label = 0;
    if (!in.Byte(label)) return false;
    bool first = true;
    for (;;) {
        int length = 0;
        if (!in.Byte(length)) return false;
        if (length == 0) return true;
        uint8_t block[255];
        if (!in.Bytes(block, std::size_t(length))) return false;
        if (label == 0xF9 && first && length >= 4 && (block[0] & 1)) transparentIndex = block[3];
        first = false;
    }
}

// Reads LZW codes least-significant bit first across the data sub-blocks.
class CodeReader {
public:
    explicit CodeReader(ByteReader& input) : in(input) {}
    bool Read(int width, int& code) {
        while (bitCount < width) {
            if (blockLeft == 0) {
                if (!in.Byte(blockLeft) || blockLeft == 0) return false;
            }
            int byte = 0;
            if (!in.Byte(byte)) return false;
            --blockLeft;
            bits |= uint32_t(byte) << bitCount;
            bitCount += 8;
        }
        code = int(bits & ((1u << width) - 1));
        bits >>= width;
        bitCount -= width;
        return true;
    }

private:
    ByteReader& in;
    int blockLeft = 0;
    uint32_t bits = 0;
    int bitCount = 0;
};

// Hands out destination rows in file order, with or without the four interlace passes.
class RowOrder {
public:
    RowOrder(int rows, bool interlaced) : height(rows), interlace(interlaced) {}
    // The next row, or -1 when every row has been handed out.
    int Next() {
        if (!interlace) return row < height ? row++ : -1;
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        while (pass < 4) {
            int r = kStart[pass] + kStep[pass] * index;
            if (r < height) {
                ++index;
                return r;
            }
            ++pass;
            index = 0;
        }
        return -1;
    }

private:
    int height;
    bool interlace;
    int row = 0;
    int pass = 0;
    int index = 0;
};

class PixelSink {
public:
    PixelSink(DecodedImage& image, const Palette& colors, int transparent, bool interlaced)
        : picture(image),
          palette(colors),
          transparentIndex(transparent),
          rows(image.height, interlaced) {
        NextRow();
    }
    bool Full() const { return rowStart == nullptr; }
    void Put(uint8_t index) {
        if (!rowStart) return;
        rowStart[column] = index == transparentIndex ? 0u : palette[index];
        if (++column == picture.width) NextRow();
    }

private:
    void NextRow() {
        int r = rows.Next();
        rowStart = r < 0 ? nullptr : picture.pixels.get() + std::size_t(r) * picture.width;
        column = 0;
    }

    DecodedImage& picture;
    const Palette& palette;
    int transparentIndex;
    RowOrder rows;
    uint32_t* rowStart = nullptr;
    int column = 0;
};

constexpr int kTableSize = 4096;

// Decodes the LZW stream into the sink until its end code, bad data or a full picture.
void DecodeLzw(ByteReader& in, PixelSink& sink) {
    int minimumSize = 0;
    if (!in.Byte(minimumSize) || minimumSize < 1 || minimumSize > 11) return;
    const int clear = 1 << minimumSize, end = clear + 1;
    std::array<uint16_t, kTableSize> prefix{};
    std::array<uint8_t, kTableSize> suffix{};
    std::array<uint8_t, kTableSize + 1> stack{};
    for (int i = 0; i < clear; ++i) suffix[i] = uint8_t(i);
    int width = minimumSize + 1, next = clear + 2, previous = -1, previousFirst = 0;
    CodeReader codes(in);
    int code = 0;
    while (!sink.Full() && codes.Read(width, code)) {
        if (code == clear) {
            width = minimumSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code > next || code == end) return;
        if (previous < 0) {
            if (code >= clear) return;  // a first code must be a single byte
            // Codes below clear stand for the byte of their low eight bits (which matters
            // only for minimum code sizes above 8, which GIF itself does not allow).
            sink.Put(uint8_t(code));
            previous = code;
            previousFirst = uint8_t(code);
            continue;
        }
        int depth = 0, walk = code;
        if (code == next) {
            stack[depth++] = uint8_t(previousFirst);
            walk = previous;
        }
        while (walk >= clear && depth < kTableSize) {
            stack[depth++] = suffix[walk];
            walk = prefix[walk];
        }
        if (walk >= clear) return;  // unreachable with prefixes below their codes
        stack[depth++] = uint8_t(walk);
        while (depth > 0) sink.Put(stack[--depth]);
        if (next < kTableSize) {
            prefix[next] = uint16_t(previous);
            suffix[next] = uint8_t(walk);
            if (++next == (1 << width) && next < kTableSize) ++width;
        }
        previous = code;
        previousFirst = walk;
    }
}

}  // namespace

std::unique_ptr<DecodedImage> DecodeGIF(const uint8_t* data, std::size_t size, int64_t maxPixels) {
    if (!data) return nullptr;
    ByteReader in(data, size);
    uint8_t signature[6];
    if (!in.Bytes(signature, 6)) return nullptr;
    if (std::memcmp(signature, "GIF87", 5) != 0 && std::memcmp(signature, "GIF89", 5) != 0)
        return nullptr;
    int screenWidth = 0, screenHeight = 0, flags = 0, ignored = 0;
    if (!in.Word(screenWidth) || !in.Word(screenHeight) || !in.Byte(flags) || !in.Byte(ignored) ||
        !in.Byte(ignored))
        return nullptr;
    Palette global;
    for (int i = 0; i < 256; ++i) global[i] = 0xFF000000u | uint32_t(i) * 0x010101u;
    if ((flags & 0x80) && !ReadColorTable(in, flags, global)) return nullptr;
    int transparentIndex = -1;
    for (;;) {
        int introducer = 0;
        if (!in.Byte(introducer) || introducer == ';') return nullptr;
        if (introducer == '!' && !ReadExtension(in, transparentIndex)) return nullptr;
        if (introducer == ',') break;
    }
    int w = 0, h = 0, imageFlags = 0;
    if (!in.Word(ignored) || !in.Word(ignored) || !in.Word(w) || !in.Word(h) ||
        !in.Byte(imageFlags))
        return nullptr;
    if (!AcceptableImageSize(w, h, maxPixels)) return nullptr;
    Palette local;
    if ((imageFlags & 0x80) && !ReadColorTable(in, imageFlags, local)) return nullptr;
    auto picture = std::make_unique<DecodedImage>(w, h);
    PixelSink sink(*picture, (imageFlags & 0x80) ? local : global, transparentIndex,
                   (imageFlags & 0x40) != 0);
    DecodeLzw(in, sink);
    return picture;
}

}  // namespace Varn
