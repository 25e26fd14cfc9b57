// SettingsFormat: the text form of one settings key's values.
#include "framework/SettingsFormat.h"

#include <cstdio>
#include <sstream>
#include <unordered_map>

namespace Varn {

namespace {

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7e) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted string at `pos`; advances past the closing quote.
bool Unquote(const std::string& line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= line.size()) return false;
        const char escaped = line[pos++];
        if (escaped == '\\' || escaped == '"') {
            out += escaped;
        } else if (escaped == 'x' && pos + 1 < line.size() && HexDigit(line[pos]) >= 0 &&
                   HexDigit(line[pos + 1]) >= 0) {
            out += static_cast<char>(HexDigit(line[pos]) * 16 + HexDigit(line[pos + 1]));
            pos += 2;
        } else {
            return false;
        }
    }
    return false;  // no closing quote
}

bool ParseDword(const std::string& text, std::uint32_t& value) {
    if (text.size() != 8) return false;
    value = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
}

bool ParseLine(const std::string& line, SettingsEntries& entries) {
    if (line.empty() || line[0] == '#') return true;
    std::size_t pos = 0;
    std::string name;
    if (!Unquote(line, pos, name) || pos >= line.size() || line[pos] != '=') return false;
    ++pos;
    if (line.compare(pos, 6, "dword:") == 0) {
        std::uint32_t value = 0;
        if (!ParseDword(line.substr(pos + 6), value)) return false;
        entries.emplace_back(name, value);
        return true;
    }
    std::string text;
    if (!Unquote(line, pos, text) || pos != line.size()) return false;
    entries.emplace_back(name, text);
    return true;
}

}  // namespace

bool ParseSettingsText(const std::string& content, SettingsEntries& entries) {
    std::istringstream lines(content);
    std::string line;
    SettingsEntries parsed;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!ParseLine(line, parsed)) return false;
    }
    // A repeated name keeps its last value, as a later write would. Indexed, so a
    // hostile file of many thousand lines still loads in linear time.
    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < entries.size(); ++i) index.emplace(entries[i].first, i);
    for (auto& entry : parsed) {
        auto [it, inserted] = index.emplace(entry.first, entries.size());
        if (inserted) {
            entries.push_back(std::move(entry));
        } else {
            entries[it->second].second = std::move(entry.second);
        }
    }
    return true;
}

std::string FormatSettingsText(const SettingsEntries& entries) {
    std::string out = "# Gemlode settings\n";
    for (const auto& [name, value] : entries) {
        out += Quote(name) + "=";
        if (const auto* number = std::get_if<std::uint32_t>(&value)) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "dword:%08X", static_cast<unsigned>(*number));
            out += hex;
        } else {
            out += Quote(std::get<std::string>(value));
        }
        out += '\n';
    }
    return out;
}

}  // namespace Varn
