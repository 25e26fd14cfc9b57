// SettingsStore: key folders, reading a key's file, and atomic writes.
#include "framework/SettingsStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "framework/SettingsFormat.h"
#include "platform/AtomicFile.h"
#include "platform/GameFolders.h"
#include "platform/RegularFile.h"

namespace Varn {

namespace {

bool ParseDecimal(const std::string& text, std::uint32_t& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

}  // namespace

SettingsKey::SettingsKey(std::filesystem::path file, bool loadExisting)
    : file_(std::move(file)), group_(file_.parent_path().filename().string()) {
    std::error_code error;
    if (!loadExisting || !std::filesystem::exists(std::filesystem::symlink_status(file_, error)))
        return;
    std::string content;
    if (ReadRegularFile(file_.string(), kMaxSettingsFileBytes, content) != FileRead::Ok ||
        !ParseSettingsText(content, group_, values_, &oldForm_)) {
        values_.clear();
        damaged_ = true;
        oldForm_ = false;
        std::fprintf(stderr, "settings: %s is damaged; using defaults\n", file_.c_str());
    }
    dirty_ = oldForm_;  // converted at the first commit
}

SettingsKey::~SettingsKey() {
    Commit();
}

SettingsKey::SettingsKey(SettingsKey&& other) noexcept
    : file_(std::move(other.file_)),
      group_(std::move(other.group_)),
      values_(std::move(other.values_)),
      dirty_(other.dirty_),
      damaged_(other.damaged_),
      oldForm_(other.oldForm_) {
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
    if (!value) return std::nullopt;
    if (const auto* number = std::get_if<std::uint32_t>(value)) return *number;
    std::uint32_t parsed = 0;
    if (!ParseDecimal(std::get<std::string>(*value), parsed)) return std::nullopt;
    return parsed;
}

std::optional<std::string> SettingsKey::GetString(const std::string& name,
                                                  std::size_t maxBytes) const {
    const Value* value = Find(name);
    if (!value) return std::nullopt;
    if (const auto* number = std::get_if<std::uint32_t>(value))
        return std::to_string(*number).substr(0, maxBytes);
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

std::string SettingsKey::Format() const {
    std::string text = FormatSettingsText(values_, group_);
    if (text.size() <= kMaxSettingsFileBytes) return text;
    // Only values nobody reads can make it this long (the known ones are short).
    SettingsEntries known;
    for (const auto& entry : values_)
        if (!SettingsValueComment(entry.first).empty()) known.push_back(entry);
    return FormatSettingsText(known, group_);
}

bool SettingsKey::Commit() {
    if (!dirty_) return true;
    if (damaged_) {
        // Kept for the player to look at rather than lost under the new file.
        std::filesystem::path kept = file_;
        kept += kDamagedSuffix;
        std::error_code error;
        std::filesystem::rename(file_, kept, error);
    }
    if (!WriteFileAtomically(file_, Format())) return false;
    dirty_ = false;
    damaged_ = false;
    oldForm_ = false;
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
    CreatePrivateFolders(folder);
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) return std::nullopt;
    return SettingsKey(folder / kFileName, true);
}

}  // namespace Varn
