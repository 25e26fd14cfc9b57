// SettingsStore: key folders, reading a key's file, and atomic writes.
#include "framework/SettingsStore.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "framework/SettingsFormat.h"

namespace Varn {

namespace {

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
    if (!ReadSmallFile(file_, content) || !ParseSettingsText(content, values_)) {
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
    if (!WriteFileAtomically(file_, FormatSettingsText(values_))) return false;
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
