// Advertisement: the line parser, its writer and the name check.
#include "framework/internet/Advertisement.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "framework/internet/UpdateResponse.h"

namespace Varn {

namespace {

constexpr int kMaxSegments = 3;
const char* const kRefusedName = "..";

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        if (end > start) tokens.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return tokens;
}

bool IsNameByte(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-';
}

bool IsSafeSegment(const std::string& segment) {
    if (segment.empty() || segment == "." || segment == ".." || segment[0] == '-') return false;
    return std::all_of(segment.begin(), segment.end(), IsNameByte);
}

void AddFile(const std::string& name, const std::vector<Advertisement>& previous,
             Advertisement& out, std::vector<std::string>& queue) {
    if (out.files.size() >= Advertisement::kMaxFiles) {
        ++out.droppedFiles;
        return;
    }
    if (out.files.empty()) {
        out.pending = true;
        for (const Advertisement& known : previous)
            if (!known.files.empty() && known.files[0] == name) out.pending = known.pending;
    }
    out.files.push_back(name);
    if (!IsSafeAdvertisementName(name)) {
        out.refused = true;
        return;
    }
    if (std::find(queue.begin(), queue.end(), name) == queue.end()) queue.push_back(name);
}

}  // namespace

int SaturatingAtoi(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(value * 10 + (text[i] - '0'), (long long)INT_MAX + 1);
    if (negative) return int(std::max(-value, (long long)INT_MIN));
    return int(std::min(value, (long long)INT_MAX));
}

bool IsSafeAdvertisementName(const std::string& name) {
    if (name.empty() || name.size() > Advertisement::kMaxNameBytes || name[0] == '/') return false;
    int segments = 0;
    size_t start = 0;
    while (true) {
        size_t slash = name.find('/', start);
        std::string segment =
            name.substr(start, slash == std::string::npos ? slash : slash - start);
        if (!IsSafeSegment(segment) || ++segments > kMaxSegments) return false;
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

bool ParseAdvertisementLine(const std::string& line, const std::vector<Advertisement>& previous,
                            Advertisement& out, std::vector<std::string>& queue) {
    out = Advertisement();
    std::vector<std::string> tokens = Tokens(line);
    if (tokens.empty()) return false;
    int group = 0;
    int index = 0;
    for (const std::string& token : tokens) {
        if (token == "|") {
            ++group;
            index = 0;
            continue;
        }
        if (group == 0 && index == 0) out.width = SaturatingAtoi(token);
        if (group == 0 && index == 1) out.height = SaturatingAtoi(token);
        if (group == 1) AddFile(token, previous, out, queue);
        if (group == 2 && index == 0) out.pending = LeadingNumberIsNonZero(token);
        ++index;
    }
    return true;
}

std::string FormatAdvertisementLine(const Advertisement& advertisement) {
    std::string line =
        std::to_string(advertisement.width) + " " + std::to_string(advertisement.height) + " |";
    for (const std::string& file : advertisement.files)
        line += " " + (IsSafeAdvertisementName(file) ? file : kRefusedName);
    return line + " | " + (advertisement.pending ? "1" : "0");
}

}  // namespace Varn
