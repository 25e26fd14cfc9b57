// SettingsStore: key folders, the text format of a key's file, and atomic writes.
//
// File format, one value per line ('#' lines and blank lines are ignored):
//   "MusicVolume"=dword:00000032
//   "LastScoreName"="Ann \"The Hammer\""
// Names and strings are quoted; '\' escapes '\' and '"', and \xHH stands for any
// byte outside printable ASCII, so every byte string survives a round trip.
#include "framework/SettingsStore.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

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

using Entries = std::vector<std::pair<std::string, std::variant<std::uint32_t, std::string>>>;

bool ParseLine(const std::string& line, Entries& entries) {
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

// Parses the whole file; false (and nothing kept) if any line is damaged.
bool ParseSettings(const std::string& content, Entries& entries) {
    std::istringstream lines(content);
    std::string line;
    Entries parsed;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!ParseLine(line, parsed)) return false;
    }
    for (auto& entry : parsed) {
        // A repeated name keeps its last value, as a later write would.
        bool replaced = false;
        for (auto& existing : entries) {
            if (existing.first == entry.first) {
                existing.second = entry.second;
                replaced = true;
            }
        }
        if (!replaced) entries.push_back(std::move(entry));
    }
    return true;
}

std::string FormatSettings(const Entries& entries) {
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

// Writes `content` to a temporary file beside `file`, flushes it to disk and renames
// it over `file`. On any failure the temporary file is removed and `file` is kept.
bool WriteFileAtomically(const std::filesystem::path& file, const std::string& content) {
    std::filesystem::path temp = file;
    temp += ".tmp" + std::to_string(::getpid());
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    ok = std::fflush(out) == 0 && ok;
    ok = ::fsync(::fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    std::error_code error;
    if (ok) std::filesystem::rename(temp, file, error);
    if (!ok || error) {
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

bool ReadSmallFile(const std::filesystem::path& file, std::string& content) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxSettingsFileBytes) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    content.assign(static_cast<std::size_t>(size), '\0');
    in.read(content.data(), static_cast<std::streamsize>(size));
    return static_cast<std::uintmax_t>(in.gcount()) == size;
}

}  // namespace

SettingsKey::SettingsKey(std::filesystem::path file, bool loadExisting) : file_(std::move(file)) {
    std::error_code error;
    if (!loadExisting || !std::filesystem::exists(file_, error)) return;
    std::string content;
    if (!ReadSmallFile(file_, content) || !ParseSettings(content, values_)) {
        values_.clear();
        damaged_ = true;
        std::fprintf(stderr, "settings: %s is damaged; using defaults\n", file_.c_str());
    }
}

SettingsKey::~SettingsKey() {
    Commit();
}

SettingsKey::SettingsKey(SettingsKey&& other) noexcept
    : file_(std::move(other.file_)),
      values_(std::move(other.values_)),
      dirty_(other.dirty_),
      damaged_(other.damaged_) {
    other.dirty_ = false;
}

const SettingsKey::Value* SettingsKey::Find(const std::string& name) const {
    for (const auto& [existing, value] : values_) {
        if (existing == name) return &value;
    }
    return nullptr;
}

std::optional<std::uint32_t> SettingsKey::GetInt(const std::string& name) const {
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<std::uint32_t>(*value)) return std::nullopt;
    return std::get<std::uint32_t>(*value);
}

std::optional<std::string> SettingsKey::GetString(const std::string& name,
                                                  std::size_t maxBytes) const {
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<std::string>(*value)) return std::nullopt;
    return std::get<std::string>(*value).substr(0, maxBytes);
}

void SettingsKey::Set(const std::string& name, Value value) {
    dirty_ = true;
    for (auto& [existing, old] : values_) {
        if (existing == name) {
            old = std::move(value);
            return;
        }
    }
    values_.emplace_back(name, std::move(value));
}

void SettingsKey::SetInt(const std::string& name, std::uint32_t value) {
    Set(name, value);
}

void SettingsKey::SetString(const std::string& name, const std::string& value) {
    Set(name, value);
}

bool SettingsKey::Commit() {
    if (!dirty_) return true;
    if (!WriteFileAtomically(file_, FormatSettings(values_))) return false;
    dirty_ = false;
    damaged_ = false;
    return true;
}

SettingsStore::SettingsStore(std::filesystem::path configRoot) : root_(std::move(configRoot)) {}

std::filesystem::path SettingsStore::DefaultConfigRoot() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // The XDG rules say a relative value is invalid and must be ignored.
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::filesystem::path(home) / ".config";
    return {};
}

std::filesystem::path SettingsStore::KeyFolder(const std::string& keyPath) const {
    if (root_.empty()) return {};
    std::string rest = keyPath;
    const std::string prefix = "SOFTWARE\\";
    if (rest.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), rest.begin(), [](char a, char b) {
            return a == std::toupper(static_cast<unsigned char>(b));
        })) {
        rest.erase(0, prefix.size());
    }
    std::filesystem::path folder = root_;
    std::istringstream parts(rest);
    std::string part;
    int count = 0;
    while (std::getline(parts, part, '\\')) {
        if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos ||
            part.find('\0') != std::string::npos) {
            return {};
        }
        folder /= part;
        ++count;
    }
    return count > 0 ? folder : std::filesystem::path{};
}

std::optional<SettingsKey> SettingsStore::OpenKey(const std::string& keyPath) const {
    const std::filesystem::path folder = KeyFolder(keyPath);
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return std::nullopt;
    return SettingsKey(folder / kFileName, true);
}

std::optional<SettingsKey> SettingsStore::CreateKey(const std::string& keyPath) const {
    const std::filesystem::path folder = KeyFolder(keyPath);
    if (folder.empty()) return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    return SettingsKey(folder / kFileName, true);
}

}  // namespace Varn
