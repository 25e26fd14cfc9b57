// ImageFiles: see ImageFiles.h.
#include "tools/datagen/ImageFiles.h"

#include <png.h>

#include <jpeglib.h>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace Varn::DataGen {

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

uint8_t Byte(float v) {
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

}  // namespace

bool WritePng(const std::string& path, const Canvas& image) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> bytes = image.ToBytes();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f.get());
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, image.Width(), image.Height(), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.Height(); ++y)
        png_write_row(png, bytes.data() + static_cast<size_t>(y) * image.Width() * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WriteJpeg(const std::string& path, const Canvas& image, int quality) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f.get());
    cinfo.image_width = static_cast<JDIMENSION>(image.Width());
    cinfo.image_height = static_cast<JDIMENSION>(image.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(image.Width()) * 3);
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& c = image.At(x, y);
            float a = Clamp01(c.a);
            row[3 * x] = Byte(c.r * a);
            row[3 * x + 1] = Byte(c.g * a);
            row[3 * x + 2] = Byte(c.b * a);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

Canvas AlphaAsGrey(const Canvas& image) {
    Canvas out(image.Width(), image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float a = Clamp01(image.At(x, y).a);
            out.At(x, y) = {a, a, a, 1.0f};
        }
    return out;
}

namespace {

// Packs variable-width codes least-significant bit first into 255-byte sub-blocks.
class GifBitWriter {
public:
    void Put(int code, int width) {
        acc_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(acc_ & 0xFF));
        std::vector<uint8_t> blocks;
        for (size_t i = 0; i < bytes_.size(); i += 255) {
            size_t n = std::min<size_t>(255, bytes_.size() - i);
            blocks.push_back(static_cast<uint8_t>(n));
            blocks.insert(blocks.end(), bytes_.begin() + i, bytes_.begin() + i + n);
        }
        blocks.push_back(0);
        return blocks;
    }

private:
    std::vector<uint8_t> bytes_;
    uint32_t acc_ = 0;
    int bits_ = 0;
};

// Classic LZW with an 8-bit alphabet; resets the table when it fills.
std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& indices) {
    const int clear = 256, end = 257;
    GifBitWriter out;
    std::vector<int> table(4096 * 256, -1);  // (prefix code, byte) -> code
    int width = 9, next = 258, prefix = -1;
    out.Put(clear, width);
    for (uint8_t b : indices) {
        if (prefix < 0) {
            prefix = b;
            continue;
        }
        int& slot = table[static_cast<size_t>(prefix) * 256 + b];
        if (slot >= 0) {
            prefix = slot;
            continue;
        }
        out.Put(prefix, width);
        if (next < 4096) {
            slot = next++;
            if (next > (1 << width) && width < 12) ++width;
        } else {
            out.Put(clear, width);
            std::fill(table.begin(), table.end(), -1);
            width = 9;
            next = 258;
        }
        prefix = b;
    }
    if (prefix >= 0) out.Put(prefix, width);
    out.Put(end, width);
    return out.Finish();
}

void Put16(std::vector<uint8_t>& v, int x) {
    v.push_back(static_cast<uint8_t>(x & 0xFF));
    v.push_back(static_cast<uint8_t>((x >> 8) & 0xFF));
}

}  // namespace

bool WriteGreyGif(const std::string& path, const Canvas& image) {
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(gif, image.Width());
    Put16(gif, image.Height());
    gif.insert(gif.end(), {0xF7, 0, 0});  // global table of 256 entries, 8-bit colour
    for (int i = 0; i < 256; ++i) gif.insert(gif.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
    gif.push_back(',');
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, image.Width());
    Put16(gif, image.Height());
    gif.push_back(0);
    gif.push_back(8);  // minimum code size
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(image.Width()) * image.Height());
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) indices.push_back(Byte(image.At(x, y).r));
    std::vector<uint8_t> data = LzwEncode(indices);
    gif.insert(gif.end(), data.begin(), data.end());
    gif.push_back(';');
    File f(std::fopen(path.c_str(), "wb"));
    return f && std::fwrite(gif.data(), 1, gif.size(), f.get()) == gif.size();
}

}  // namespace Varn::DataGen
