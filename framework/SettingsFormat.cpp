// SettingsFormat: reading and writing the key-file form, reading the old form.
#include "framework/SettingsFormat.h"

#include <cstdio>
#include <sstream>
#include <unordered_map>

#include "platform/Latin1.h"

namespace Varn {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ---- the key-file form ----

std::string EscapeValue(const std::string& latin1) {
    std::string out;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(latin1[i]);
        if (c == ' ' && i == 0) {
            out += "\\s";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += Latin1ToUtf8(std::string(1, static_cast<char>(c)));
        }
    }
    return out;
}

bool UnescapeValue(const std::string& text, std::string& out) {
    std::string raw;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            raw += text[i];
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i]) {
            case 's':
                raw += ' ';
                break;
            case 'n':
                raw += '\n';
                break;
            case 't':
                raw += '\t';
                break;
            case 'r':
                raw += '\r';
                break;
            case '\\':
                raw += '\\';
                break;
            case 'x':
                if (i + 2 >= text.size() || HexDigit(text[i + 1]) < 0 || HexDigit(text[i + 2]) < 0)
                    return false;
                raw += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
                i += 2;
                break;
            default:
                return false;
        }
    }
    out = Utf8ToLatin1(raw);
    return true;
}

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ParseKeyFileLine(const std::string& line, const std::string& group, std::string& current,
                      SettingsEntries& out) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == '#') return true;
    if (trimmed[0] == '[') {
        if (trimmed.back() != ']' || trimmed.size() < 3) return false;
        current = trimmed.substr(1, trimmed.size() - 2);
        return true;
    }
    const std::size_t equals = line.find('=');
    if (current.empty() || equals == std::string::npos) return false;
    const std::string name = Trim(line.substr(0, equals));
    if (name.empty()) return false;
    if (current != group) return true;  // another program's group: not ours to read
    std::string value;
    const std::string text = line.substr(equals + 1);
    if (!UnescapeValue(text.substr(std::min(text.find_first_not_of(" \t"), text.size())), value))
        return false;
    out.emplace_back(name, value);
    return true;
}

// ---- the old registry-export form ----

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

bool ParseOldLine(const std::string& line, SettingsEntries& entries) {
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

// The old form starts, after comments and blank lines, with a quoted name.
bool LooksOld(const std::string& content) {
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#' || trimmed == "\r") continue;
        return trimmed[0] == '"';
    }
    return false;
}

// A repeated name keeps its last value, as a later write would. Indexed, so a
// hostile file of many thousand lines still loads in linear time.
void Merge(SettingsEntries& parsed, SettingsEntries& entries) {
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
}

}  // namespace

bool ParseSettingsText(const std::string& content, const std::string& group,
                       SettingsEntries& entries, bool* oldForm) {
    const bool old = LooksOld(content);
    if (oldForm) *oldForm = old;
    std::istringstream lines(content);
    std::string line;
    std::string current;
    SettingsEntries parsed;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool ok =
            old ? ParseOldLine(line, parsed) : ParseKeyFileLine(line, group, current, parsed);
        if (!ok) return false;
    }
    Merge(parsed, entries);
    return true;
}

std::string SettingsValueComment(const std::string& name) {
    static const std::unordered_map<std::string, std::string> comments = {
        {"MusicVolume", "Music volume, 0 to 100"},
        {"SfxVolume", "Sound effects volume, 0 to 100"},
        {"Muted", "1 silences music and sound effects, 0 plays them"},
        {"ScreenMode", "0 plays in a window, 1 full screen"},
        {"WindowScale", "Window size: the picture 1 to 8 times as large, 0 as large as fits"},
        {"FullScreenScaling", "Full screen: 0 automatic, 1 sharp whole multiples, 2 fill screen"},
        {"CustomCursors", "1 uses the game's own mouse pointers, 0 the desktop's"},
        {"ITSuccess", "1 when the last transfer of the game succeeded, else 0"},
        {"TimesPlayed", "Games played, 0 to 4294967295"},
        {"LastVerCheckQueryTime", "Time of the last update check, in seconds since 1970"},
        {"InProgress", "1 while the game runs, 0 after it ended cleanly"},
        {"LastScoreName", "Name last entered for a high score, up to 255 characters"},
        {"ReferId", "Referrer sent with the update check, up to 256 characters"},
    };
    const auto it = comments.find(name);
    return it == comments.end() ? std::string() : it->second;
}

namespace {

// A name that reads back as itself (names from an old file may hold anything).
bool WritableName(const std::string& name) {
    return !name.empty() && name == Trim(name) && name[0] != '#' && name[0] != '[' &&
           name.find_first_of("=\n\r") == std::string::npos;
}

}  // namespace

std::string FormatSettingsText(const SettingsEntries& entries, const std::string& group) {
    std::string out = "# Gemlode settings; edit them while the game is not running.\n";
    out += "[" + group + "]\n";
    for (const auto& [name, value] : entries) {
        if (!WritableName(name)) continue;
        const std::string comment = SettingsValueComment(name);
        if (!comment.empty()) out += "# " + comment + "\n";
        out += name + "=";
        if (const auto* number = std::get_if<std::uint32_t>(&value)) {
            out += std::to_string(*number);
        } else {
            out += EscapeValue(std::get<std::string>(value).substr(0, kMaxSettingsStringBytes));
        }
        out += '\n';
    }
    return out;
}

}  // namespace Varn
