// Conversions between the program's byte strings (one Latin-1 byte per
// character) and the UTF-8 that the window system speaks.
#pragma once

#include <string>

namespace Varn {

std::string Latin1ToUtf8(const std::string& latin1);
// Characters outside Latin-1 (and malformed sequences) are dropped.
std::string Utf8ToLatin1(const std::string& utf8);

}  // namespace Varn
