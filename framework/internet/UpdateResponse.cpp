// Reading the update server's answer.
#include "framework/internet/UpdateResponse.h"

#include <cctype>

namespace Varn {

namespace {

constexpr size_t kMaxAddressBytes = 2048;

std::vector<std::string> CountedLines(const std::string& content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        size_t last = end;
        while (last > start && (content[last - 1] == '\r' || content[last - 1] == ' ')) --last;
        if (last > start) lines.push_back(content.substr(start, last - start));
        start = end + 1;
    }
    return lines;
}

bool HasPrefixIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

bool LeadingNumberIsNonZero(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        if (text[i] != '0') return true;
    return false;
}

const char* WebAddressProblem(const std::string& url) {
    if (url.empty()) return "the update server gave no address";
    if (url.size() > kMaxAddressBytes) return "its address is longer than 2048 bytes";
    size_t hostStart = 0;
    if (HasPrefixIgnoringCase(url, "http://"))
        hostStart = 7;
    else if (HasPrefixIgnoringCase(url, "https://"))
        hostStart = 8;
    else
        return "its address is no web address";
    if (hostStart >= url.size() || url[hostStart] == '/') return "its address names no host";
    for (unsigned char c : url)
        if (c <= ' ' || (c >= 0x7F && c <= 0xA0))  // controls, no-break space
            return "its address holds blanks or control characters";
    return nullptr;
}

bool IsOpenableWebAddress(const std::string& url) {
    return WebAddressProblem(url) == nullptr;
}

UpdateResponse ParseUpdateResponseText(const std::string& content) {
    UpdateResponse response;
    std::vector<std::string> lines = CountedLines(content);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            response.hasUpToDateLine = true;
            response.upToDate = LeadingNumberIsNonZero(lines[0]);
        } else if (i == 1) {
            response.pageUrl = lines[1];
        } else if (response.advertisementLines.size() < kMaxAdvertisementLines) {
            response.advertisementLines.push_back(lines[i]);
        } else {
            ++response.droppedAdvertisementLines;
        }
    }
    return response;
}

}  // namespace Varn
