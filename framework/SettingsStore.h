// SettingsStore: the per-user key-value store that stands in for the registry.
// A key path such as "SOFTWARE\Zandrel\Gemlode" maps to a folder below the config
// root ("SOFTWARE\" dropped): <root>/Zandrel/Gemlode/settings.conf. Values are named
// 32-bit integers or byte strings, kept in the order first written.
// A key is open as a SettingsKey; changes are written when it is committed or
// destroyed, always to a temporary file that is then renamed over the old one, so a
// crash or a full disk leaves the previous copy whole.
// A damaged or unreadable file opens as an empty key (every value missing, so the
// caller keeps its defaults) and is replaced at the next write.
// Limits: no locking between two running programs (the last writer wins); files
// above kMaxSettingsFileBytes count as damaged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "framework/SettingsFormat.h"

namespace Varn {

constexpr std::uintmax_t kMaxSettingsFileBytes = 1024 * 1024;

class SettingsKey {
public:
    SettingsKey(std::filesystem::path file, bool loadExisting);
    ~SettingsKey();  // commits pending changes; failures are silent
    SettingsKey(SettingsKey&& other) noexcept;
    SettingsKey& operator=(SettingsKey&&) = delete;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // Missing when the value does not exist or holds the other type.
    std::optional<std::uint32_t> GetInt(const std::string& name) const;
    // At most `maxBytes` bytes of a string value.
    std::optional<std::string> GetString(const std::string& name,
                                         std::size_t maxBytes = std::string::npos) const;
    void SetInt(const std::string& name, std::uint32_t value);
    void SetString(const std::string& name, const std::string& value);

    // Writes the values if any changed since opening or the last commit. False when
    // the file could not be written; the old file is then untouched.
    bool Commit();
    // True when the file existed but could not be read or parsed.
    bool WasDamaged() const { return damaged_; }

private:
    using Value = SettingsValue;
    const Value* Find(const std::string& name) const;
    void Set(const std::string& name, Value value);

    std::filesystem::path file_;
    SettingsEntries values_;
    bool dirty_ = false;
    bool damaged_ = false;
};

class SettingsStore {
public:
    // `configRoot` is the folder holding every key (tests pass a temporary folder).
    explicit SettingsStore(std::filesystem::path configRoot);

    // $XDG_CONFIG_HOME when set to an absolute path, else $HOME/.config; empty when
    // neither is known (every key is then missing and nothing can be saved).
    static std::filesystem::path DefaultConfigRoot();

    // The key if its folder exists; none when missing or the path is unusable.
    std::optional<SettingsKey> OpenKey(const std::string& keyPath) const;
    // The key, creating its folders when needed; none if that fails.
    std::optional<SettingsKey> CreateKey(const std::string& keyPath) const;
    // The folder of `keyPath`; empty for an unusable path (empty, "..", "/" in a part).
    std::filesystem::path KeyFolder(const std::string& keyPath) const;

    static constexpr const char* kFileName = "settings.conf";

private:
    std::filesystem::path root_;
};

}  // namespace Varn
