// GameDataReaders: see GameDataReaders.h.
#include "tests/data/GameDataReaders.h"

#include <png.h>

#include <jpeglib.h>
#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace gemlode_data_test {

std::string GameDir() {
    return GEMLODE_GAME_DIR;
}

bool FileExists(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return f.good();
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

namespace {
struct Closer {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};
}  // namespace

std::optional<Picture> ReadPng(const std::string& path) {
    std::unique_ptr<FILE, Closer> f(std::fopen(path.c_str(), "rb"));
    if (!f) return std::nullopt;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    Picture pic;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_init_io(png, f.get());
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    pic.width = static_cast<int>(png_get_image_width(png, info));
    pic.height = static_cast<int>(png_get_image_height(png, info));
    pic.pixels.resize(static_cast<size_t>(pic.width) * pic.height);
    for (int y = 0; y < pic.height; ++y)
        png_read_row(
            png,
            reinterpret_cast<png_bytep>(pic.pixels.data() + static_cast<size_t>(y) * pic.width),
            nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    pic.file = path;
    return pic;
}

namespace {
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}
}  // namespace

std::optional<Picture> ReadJpeg(const std::string& path) {
    std::unique_ptr<FILE, Closer> f(std::fopen(path.c_str(), "rb"));
    if (!f) return std::nullopt;
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    Picture pic;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f.get());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    pic.width = static_cast<int>(cinfo.output_width);
    pic.height = static_cast<int>(cinfo.output_height);
    pic.pixels.resize(static_cast<size_t>(pic.width) * pic.height);
    std::vector<uint8_t> row(static_cast<size_t>(pic.width) * 3);
    for (int y = 0; y < pic.height; ++y) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < pic.width; ++x)
            pic.pixels[static_cast<size_t>(y) * pic.width + x] =
                0xFF000000u | row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    pic.file = path;
    return pic;
}

namespace {

// Reads variable-width LZW codes least-significant bit first from the sub-blocks.
class GifCodes {
public:
    GifCodes(const std::vector<uint8_t>& d, size_t pos) : data_(d), pos_(pos) {}
    int Next(int width) {
        while (bits_ < width) {
            if (left_ == 0) {
                if (pos_ >= data_.size() || data_[pos_] == 0) return -1;
                left_ = data_[pos_++];
            }
            if (pos_ >= data_.size()) return -1;
            acc_ |= static_cast<uint32_t>(data_[pos_++]) << bits_;
            bits_ += 8;
            --left_;
        }
        int code = static_cast<int>(acc_ & ((1u << width) - 1));
        acc_ >>= width;
        bits_ -= width;
        return code;
    }

private:
    const std::vector<uint8_t>& data_;
    size_t pos_;
    int left_ = 0;
    uint32_t acc_ = 0;
    int bits_ = 0;
};

}  // namespace

std::optional<Picture> ReadGif(const std::string& path) {
    std::vector<uint8_t> d = ReadFile(path);
    if (d.size() < 13 ||
        (std::memcmp(d.data(), "GIF87", 5) != 0 && std::memcmp(d.data(), "GIF89", 5) != 0))
        return std::nullopt;
    auto u16 = [&](size_t p) { return d[p] | d[p + 1] << 8; };
    std::vector<uint32_t> palette;
    size_t pos = 13;
    if (d[10] & 0x80) {
        int n = 1 << ((d[10] & 7) + 1);
        if (pos + 3 * n > d.size()) return std::nullopt;
        for (int i = 0; i < n; ++i, pos += 3)
            palette.push_back(0xFF000000u | d[pos + 2] << 16 | d[pos + 1] << 8 | d[pos]);
    }
    while (pos < d.size() && d[pos] != ',') {
        if (d[pos] != '!') return std::nullopt;  // our files have no other blocks
        pos += 2;
        while (pos < d.size() && d[pos] != 0) pos += d[pos] + 1;
        ++pos;
    }
    if (pos + 10 > d.size()) return std::nullopt;
    Picture pic;
    pic.width = u16(pos + 5);
    pic.height = u16(pos + 7);
    if (d[pos + 9] & 0xC0) return std::nullopt;  // no local tables or interlace written
    pos += 10;
    int minSize = d[pos++];
    GifCodes codes(d, pos);
    const int clear = 1 << minSize, end = clear + 1;
    std::vector<int> prefix(4096, -1), suffix(4096, 0);
    for (int i = 0; i < clear; ++i) suffix[i] = i;
    int width = minSize + 1, next = end + 1, prev = -1;
    std::vector<uint8_t> out;
    auto firstByte = [&](int c) {
        while (prefix[c] >= 0) c = prefix[c];
        return suffix[c];
    };
    auto emit = [&](int c) {
        std::vector<uint8_t> s;
        while (c >= 0) {
            s.push_back(static_cast<uint8_t>(suffix[c]));
            c = prefix[c];
        }
        out.insert(out.end(), s.rbegin(), s.rend());
    };
    for (;;) {
        int code = codes.Next(width);
        if (code < 0 || code == end || code > next) break;
        if (code == clear) {
            width = minSize + 1;
            next = end + 1;
            prev = -1;
            continue;
        }
        if (prev < 0) {
            emit(code);
            prev = code;
            continue;
        }
        if (next > 4095) break;
        int first = code == next ? firstByte(prev) : firstByte(code);
        prefix[next] = prev;
        suffix[next] = first;
        ++next;
        emit(code);
        if (next == (1 << width) && width < 12) ++width;
        prev = code;
    }
    if (out.size() != static_cast<size_t>(pic.width) * pic.height) return std::nullopt;
    for (uint8_t i : out) pic.pixels.push_back(i < palette.size() ? palette[i] : 0);
    pic.file = path;
    return pic;
}

std::optional<Picture> LoadGamePicture(const std::string& name) {
    std::string base = GameDir() + "/images/";
    auto load = [&](const std::string& n) -> std::optional<Picture> {
        if (auto p = ReadJpeg(base + n + ".jpg")) return p;
        if (auto p = ReadPng(base + n + ".png")) return p;
        return ReadGif(base + n + ".gif");
    };
    std::optional<Picture> pic = load(name);
    if (!pic) return std::nullopt;
    std::optional<Picture> mask = load("_" + name);
    if (mask && mask->width == pic->width && mask->height == pic->height) {
        for (size_t i = 0; i < pic->pixels.size(); ++i)
            pic->pixels[i] = (mask->pixels[i] & 0xFF) << 24 | (pic->pixels[i] & 0x00FFFFFF);
        pic->masked = true;
    }
    return pic;
}

FontDescriptor::FontDescriptor() {
    for (int i = 0; i < 256; ++i) {
        x[i] = -1;
        width[i] = advance[i] = 0;
    }
}

int FontDescriptor::Lookup(char c) const {
    unsigned char u = static_cast<unsigned char>(c);
    if (width[u] != 0) return u;
    unsigned char lo = static_cast<unsigned char>(std::tolower(u));
    if (width[lo] != 0) return lo;
    unsigned char up = static_cast<unsigned char>(std::toupper(u));
    if (width[up] != 0) return up;
    return u;
}

int FontDescriptor::StringWidth(const std::string& text) const {
    int w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        auto kern = kerning.find({char(Lookup(text[i])), char(Lookup(text[i + 1]))});
        w += advance[Lookup(text[i])] + (kern == kerning.end() ? 0 : kern->second);
    }
    return w;
}

FontDescriptor ReadFontDescriptor(const std::string& path) {
    FontDescriptor fd;
    std::ifstream in(path);
    if (!(in >> fd.spaceAdvance >> fd.ascent)) return fd;
    fd.width[32] = fd.advance[32] = fd.spaceAdvance;
    std::string ch, next;
    int w = 0, pos = 0, offset = 0;
    while (in >> ch && ch != "@metrics" && in >> w) {
        if (ch.size() != 1) return fd;  // one character per entry
        unsigned char u = static_cast<unsigned char>(ch[0]);
        fd.x[u] = pos;
        fd.width[u] = fd.advance[u] = w;
        pos += w;
    }
    while (in >> ch && ch != "@kerning" && in >> offset >> w)
        fd.advance[static_cast<unsigned char>(ch[0])] = w;
    while (in >> ch >> next >> w) fd.kerning[{ch[0], next[0]}] = w;
    fd.read = in.eof();
    return fd;
}

WavInfo ReadWav(const std::string& path) {
    WavInfo info;
    std::vector<uint8_t> d = ReadFile(path);
    if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) != 0 ||
        std::memcmp(d.data() + 8, "WAVE", 4) != 0)
        return info;
    auto u32 = [&](size_t p) {
        return static_cast<uint32_t>(d[p] | d[p + 1] << 8 | d[p + 2] << 16) |
               static_cast<uint32_t>(d[p + 3]) << 24;
    };
    auto u16 = [&](size_t p) { return d[p] | d[p + 1] << 8; };
    size_t pos = 12;
    while (pos + 8 <= d.size()) {
        uint32_t size = u32(pos + 4);
        if (std::memcmp(d.data() + pos, "fmt ", 4) == 0 && pos + 24 <= d.size()) {
            info.fmtSize = size;
            info.formatTag = u16(pos + 8);
            info.channels = u16(pos + 10);
            info.rate = static_cast<int>(u32(pos + 12));
            info.bits = u16(pos + 22);
        } else if (std::memcmp(d.data() + pos, "data", 4) == 0) {
            if (pos + 8 + size > d.size()) return info;
            for (size_t i = 0; i + 1 < size; i += 2)
                info.samples.push_back(static_cast<int16_t>(u16(pos + 8 + i)));
            info.valid = info.formatTag == 1;
            return info;
        }
        pos += 8 + size;
    }
    return info;
}

}  // namespace gemlode_data_test
