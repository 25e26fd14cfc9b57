// Test helpers that write real image files: PNG through libpng (any colour type, bit depth
// and interlacing), JPEG through libjpeg (colour or grey), and GIF bytes built by hand with
// a literal-only LZW stream (clear code, two literal codes, clear code, ...), which every
// GIF decoder must read and whose code width therefore never grows.
#pragma once

#include <png.h>

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Varn::Testing {

// Samples are raw bytes in PNG order for the colour type and bit depth (16-bit samples
// big-endian), one row after another.
inline bool WritePng(const std::string& path, int w, int h, int colorType, int bitDepth,
                     const std::vector<uint8_t>& samples, bool interlaced = false,
                     const std::vector<png_color>& palette = {},
                     const std::vector<uint8_t>& paletteAlpha = {}) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, w, h, bitDepth, colorType,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!paletteAlpha.empty())
        png_set_tRNS(png, info, paletteAlpha.data(), int(paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::size_t rowBytes = samples.size() / std::size_t(h);
    std::vector<png_bytep> rows(h);
    for (int y = 0; y < h; ++y) rows[y] = const_cast<png_bytep>(samples.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

// 8-bit RGBA pixels given as packed values (red in the low byte).
inline bool WritePngRgba(const std::string& path, int w, int h, const std::vector<uint32_t>& px) {
    std::vector<uint8_t> samples;
    for (uint32_t p : px)
        for (int c = 0; c < 4; ++c) samples.push_back(uint8_t(p >> (8 * c)));
    return WritePng(path, w, h, PNG_COLOR_TYPE_RGBA, 8, samples);
}

// components 3 (RGB samples) or 1 (grey samples).
inline bool WriteJpeg(const std::string& path, int w, int h, int components,
                      const std::vector<uint8_t>& samples) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(w);
    info.image_height = JDIMENSION(h);
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<JSAMPROW>(samples.data() + std::size_t(info.next_scanline) * w * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    return true;
}

// Packs LZW codes of a fixed width least-significant bit first into data sub-blocks.
inline std::vector<uint8_t> PackCodes(const std::vector<int>& codes, int width) {
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int count = 0;
    for (int code : codes) {
        bits |= uint32_t(code) << count;
        count += width;
        while (count >= 8) {
            bytes.push_back(uint8_t(bits));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0) bytes.push_back(uint8_t(bits));
    std::vector<uint8_t> blocks;
    for (std::size_t i = 0; i < bytes.size(); i += 255) {
        std::size_t n = std::min<std::size_t>(255, bytes.size() - i);
        blocks.push_back(uint8_t(n));
        blocks.insert(blocks.end(), bytes.begin() + i, bytes.begin() + i + n);
    }
    blocks.push_back(0);
    return blocks;
}

// Literal-only codes for minimum code size 2 (clear 4, end 5, width 3): a clear code
// before every pair of indices keeps the table from reaching 8 entries.
inline std::vector<int> LiteralCodes(const std::vector<int>& indices) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % 2 == 0) codes.push_back(4);
        codes.push_back(indices[i]);
    }
    codes.push_back(5);
    return codes;
}

struct GifSpec {
    int width = 1;
    int height = 1;
    std::vector<uint32_t> globalColors;  // 4 entries (0x00BBGGRR) or none
    std::vector<uint32_t> localColors;   // 4 entries or none
    int transparentIndex = -1;
    bool interlaced = false;
    std::vector<int> codes;  // LZW codes of width minimumCodeSize + 1
    int minimumCodeSize = 2;
    const char* signature = "GIF89a";
};

inline void PushColors(std::vector<uint8_t>& out, const std::vector<uint32_t>& colors) {
    for (uint32_t c : colors) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c >> 16));
    }
}

inline std::vector<uint8_t> MakeGif(const GifSpec& spec) {
    std::vector<uint8_t> out(spec.signature, spec.signature + 6);
    auto word = [&out](int v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    word(spec.width);
    word(spec.height);
    out.push_back(spec.globalColors.empty() ? 0x00 : 0x81);  // 4-entry table
    out.push_back(0);
    out.push_back(0);
    PushColors(out, spec.globalColors);
    // A comment and a looping application block to be skipped.
    for (int b : std::initializer_list<int>{0x21, 0xFE, 3, 'h', 'i', '!', 0})
        out.push_back(uint8_t(b));
    for (int b : std::initializer_list<int>{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E',
                                            '2', '.', '0', 3, 1, 0, 0, 0})
        out.push_back(uint8_t(b));
    if (spec.transparentIndex >= 0)
        for (int b : {0x21, 0xF9, 4, 1, 0, 0, spec.transparentIndex, 0}) out.push_back(uint8_t(b));
    out.push_back(',');
    word(0);
    word(0);
    word(spec.width);
    word(spec.height);
    out.push_back(uint8_t((spec.localColors.empty() ? 0x00 : 0x81) | (spec.interlaced ? 0x40 : 0)));
    PushColors(out, spec.localColors);
    out.push_back(uint8_t(spec.minimumCodeSize));
    std::vector<uint8_t> data = PackCodes(spec.codes, spec.minimumCodeSize + 1);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(';');
    return out;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace Varn::Testing
