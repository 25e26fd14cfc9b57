// GameDataReaders: test-side readers for the generated data, following the
// game's own rules: pictures found by trying .jpg, .png, .gif with an optional
// "_name" mask whose red channel becomes alpha; font descriptors read as
// whitespace-separated tokens; WAV files read chunk by chunk.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gemlode_data_test {

std::string GameDir();

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // alpha << 24 | blue << 16 | green << 8 | red
    std::string file;              // the file that was read
    bool masked = false;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
    int Red(int x, int y) const { return static_cast<int>(At(x, y) & 0xFF); }
    int Green(int x, int y) const { return static_cast<int>((At(x, y) >> 8) & 0xFF); }
    int Blue(int x, int y) const { return static_cast<int>((At(x, y) >> 16) & 0xFF); }
};

std::optional<Picture> ReadPng(const std::string& path);
std::optional<Picture> ReadJpeg(const std::string& path);
std::optional<Picture> ReadGif(const std::string& path);  // own decoder
// "images/" + name, the way the game's loader finds it.
std::optional<Picture> LoadGamePicture(const std::string& name);

struct FontDescriptor {
    int spaceAdvance = 0;
    int ascent = 0;
    int x[256];
    int width[256];
    int advance[256];
    std::map<std::pair<char, char>, int> kerning;
    bool read = false;
    FontDescriptor();
    int Lookup(char c) const;  // the game's character lookup
    int StringWidth(const std::string& text) const;
};
FontDescriptor ReadFontDescriptor(const std::string& path);

struct WavInfo {
    bool valid = false;
    int formatTag = 0, channels = 0, rate = 0, bits = 0;
    uint32_t fmtSize = 0;
    std::vector<int16_t> samples;
};
WavInfo ReadWav(const std::string& path);

bool FileExists(const std::string& path);
std::vector<uint8_t> ReadFile(const std::string& path);

}  // namespace gemlode_data_test
