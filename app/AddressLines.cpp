// AddressLines: breaking an address into lines that fit a width.
#include "app/AddressLines.h"

#include <vector>

#include "graphics/Font.h"

namespace Varn {

namespace {

std::vector<std::string> Lines(const std::string& address, const Font& font, int width) {
    std::vector<std::string> lines(1);
    for (char c : address) {
        if (!lines.back().empty() && font.StringWidth(lines.back() + c) > width) {
            if (lines.size() == kMaxAddressLines) {
                std::string& last = lines.back();
                while (!last.empty() && font.StringWidth(last + "...") > width) last.pop_back();
                last += "...";
                break;
            }
            lines.emplace_back();
        }
        lines.back() += c;
    }
    return lines;
}

}  // namespace

std::string AddressLines(const std::string& address, const Font& font, int width) {
    std::string text;
    for (const std::string& line : Lines(address, font, width)) {
        if (!text.empty()) text += '\n';
        for (char c : line) text += c == '^' ? std::string("^^") : std::string(1, c);
    }
    return text;
}

}  // namespace Varn
