// Output: see Output.h.
#include "tools/datagen/Output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <initializer_list>
#include <memory>

#include "tools/datagen/ImageFiles.h"

namespace Varn::DataGen {

bool MakeFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    return WriteBinaryFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool WritePicture(const std::string& imagesDir, const Picture& picture) {
    std::string base = imagesDir + "/" + picture.name;
    std::string mask = imagesDir + "/_" + picture.name;
    // A file left from an earlier run in another format would be found first by
    // the game's loader (JPEG, then PNG, then GIF), so clear every variant.
    for (const char* ext : {".jpg", ".png", ".gif"}) {
        std::remove((base + ext).c_str());
        std::remove((mask + ext).c_str());
    }
    switch (picture.store) {
        case StoreAs::Png:
            return WritePng(base + ".png", picture.image);
        case StoreAs::Jpeg:
            return WriteJpeg(base + ".jpg", picture.image);
        case StoreAs::JpegWithMask:
            return WriteJpeg(base + ".jpg", picture.image) &&
                   WritePng(mask + ".png", AlphaAsGrey(picture.image));
        case StoreAs::GifWithMask: {
            // The colour as a grey-scale GIF works for the black and white pictures
            // stored this way; the alpha goes into the underscore mask.
            Canvas colour(picture.image.Width(), picture.image.Height());
            for (int y = 0; y < colour.Height(); ++y)
                for (int x = 0; x < colour.Width(); ++x) {
                    const Rgba& c = picture.image.At(x, y);
                    float grey = (c.r + c.g + c.b) / 3;
                    colour.At(x, y) = {grey, grey, grey, 1};
                }
            return WriteGreyGif(base + ".gif", colour) &&
                   WriteGreyGif(mask + ".gif", AlphaAsGrey(picture.image));
        }
    }
    return false;
}

bool WriteFontDescriptor(const std::string& dataDir, const BitmapFont& font) {
    return WriteTextFile(dataDir + "/" + font.name + ".txt", font.Descriptor());
}

}  // namespace Varn::DataGen
