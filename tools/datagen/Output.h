// Output: writes the generated data into the program folder layout
// (images/, sounds/, music/, data/, resources/), creating the folders.
#pragma once

#include <string>
#include <vector>

#include "tools/datagen/Artwork.h"
#include "tools/datagen/FontStrips.h"

namespace Varn::DataGen {

bool MakeFolder(const std::string& path);
bool WriteTextFile(const std::string& path, const std::string& text);
bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes);
// One picture in its chosen format, plus its "_name" mask when it has one.
bool WritePicture(const std::string& imagesDir, const Picture& picture);
bool WriteFontDescriptor(const std::string& dataDir, const BitmapFont& font);

}  // namespace Varn::DataGen
