#include "platform/Latin1.h"

namespace Varn {

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = utf8[i];
        int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > utf8.size()) {  // stray continuation or cut sequence
            ++i;
            continue;
        }
        bool wellFormed = true;
        for (int k = 1; k < length; ++k)
            wellFormed = wellFormed && (static_cast<unsigned char>(utf8[i + k]) >> 6) == 2;
        if (wellFormed && length == 1) out += char(c);
        if (wellFormed && length == 2) {
            unsigned code = (c & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            if (code >= 0x80 && code <= 0xFF) out += char(code);
        }
        i += wellFormed ? length : 1;
    }
    return out;
}

}  // namespace Varn
