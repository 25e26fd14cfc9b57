// ImageLoader: file reading, the extension search order and the mask merge.
#include "graphics/ImageLoader.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <vector>

#include "platform/RegularFile.h"

namespace Varn {

namespace {

// Files bigger than this are not image files the game ships; refuse them unread.
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 28;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    return ReadRegularFile(path, kMaxFileBytes, bytes) == FileRead::Ok;
}

template <typename Decoder>
std::unique_ptr<DecodedImage> LoadWith(const std::string& path, Decoder decode) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return nullptr;
    return decode(bytes.data(), bytes.size(), kMaxImagePixels);
}

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    std::string lower = a;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower == b;
}

std::unique_ptr<DecodedImage> LoadPicture(const std::string& base, const std::string& extension) {
    std::unique_ptr<DecodedImage> picture;
    if (extension.empty() || EqualsIgnoringCase(extension, ".jpg"))
        picture = LoadJPEGImage(base + ".jpg");
    if (!picture && (extension.empty() || EqualsIgnoringCase(extension, ".png")))
        picture = LoadPNGImage(base + ".png");
    if (!picture && (extension.empty() || EqualsIgnoringCase(extension, ".gif")))
        picture = LoadGIFImage(base + ".gif");
    return picture;
}

// The mask's red channel becomes the picture's alpha; a mask of another size is ignored.
void MergeMask(DecodedImage& picture, const DecodedImage& mask) {
    if (mask.width != picture.width || mask.height != picture.height) return;
    std::size_t count = std::size_t(picture.width) * std::size_t(picture.height);
    for (std::size_t i = 0; i < count; ++i)
        picture.pixels[i] = (mask.pixels[i] << 24) | (picture.pixels[i] & 0x00FFFFFFu);
}

}  // namespace

std::unique_ptr<DecodedImage> LoadJPEGImage(const std::string& path) {
    return LoadWith(path, DecodeJPEG);
}

std::unique_ptr<DecodedImage> LoadPNGImage(const std::string& path) {
    return LoadWith(path, DecodePNG);
}

std::unique_ptr<DecodedImage> LoadGIFImage(const std::string& path) {
    return LoadWith(path, DecodeGIF);
}

std::unique_ptr<DecodedImage> LoadImage(const std::string& path) {
    std::size_t separator = path.find_last_of("\\/");
    std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    std::size_t dot = path.rfind('.');
    bool hasExtension = dot != std::string::npos && dot >= nameStart;
    std::string extension = hasExtension ? path.substr(dot) : std::string();
    std::string base = hasExtension ? path.substr(0, dot) : path;

    std::unique_ptr<DecodedImage> picture = LoadPicture(base, extension);
    if (!picture) return nullptr;
    if (nameStart < path.size() && path[nameStart] == '_') return picture;
    std::string maskPath = path.substr(0, nameStart) + "_" + path.substr(nameStart);
    if (std::unique_ptr<DecodedImage> mask = LoadImage(maskPath)) MergeMask(*picture, *mask);
    return picture;
}

}  // namespace Varn
