// AppSettings: reading and writing the framework's settings values.
#include "framework/AppSettings.h"

#include <algorithm>
#include <cmath>

namespace Varn {

std::string SettingsKeyPath(const std::string& keyName) {
    return "SOFTWARE\\" + keyName;
}

std::uint32_t EncodeVolume(double volume) {
    if (!(volume > 0.0)) return 0;  // negative or NaN
    volume = std::min(volume, 1.0);
    return static_cast<std::uint32_t>(std::trunc(volume * 100.0 + 1e-9));
}

double DecodeVolume(std::uint32_t stored) {
    return std::min(stored / 100.0, 1.0);
}

void AppSettings::ReadFrom(SettingsKey& key, std::int64_t nowSeconds) {
    if (auto value = key.GetInt("MusicVolume")) musicVolume = DecodeVolume(*value);
    if (auto value = key.GetInt("SfxVolume")) sfxVolume = DecodeVolume(*value);
    if (auto value = key.GetInt("Muted")) muted = *value != 0;
    if (auto value = key.GetInt("ScreenMode")) windowed = *value == 0;
    if (auto value = key.GetInt("WindowScale")) windowScale = *value <= 8 ? int(*value) : 0;
    if (auto value = key.GetInt("FullScreenScaling"))
        fullScreenScaling = *value <= 2 ? FullScreenScaling(*value) : FullScreenScaling::Automatic;
    if (auto value = key.GetInt("CustomCursors")) customCursors = *value != 0;
    if (auto value = key.GetInt("ITSuccess")) transferSucceeded = *value != 0;
    if (auto value = key.GetInt("TimesPlayed")) timesPlayed = static_cast<std::int32_t>(*value);
    if (auto value = key.GetInt("LastVerCheckQueryTime")) {
        lastUpdateCheck = *value;
    } else {
        lastUpdateCheck = nowSeconds;
    }
    if (auto value = key.GetInt("InProgress")) previousRunEndedCleanly = *value == 0;
    // Marks this run as going; Save clears it, so a crash leaves 1 behind.
    key.SetInt("InProgress", 1);
}

void AppSettings::WriteTo(SettingsKey& key, bool runEnded) const {
    key.SetInt("MusicVolume", EncodeVolume(musicVolume));
    key.SetInt("SfxVolume", EncodeVolume(sfxVolume));
    key.SetInt("Muted", muted ? 1 : 0);
    key.SetInt("ScreenMode", windowed ? 0 : 1);
    key.SetInt("WindowScale", static_cast<std::uint32_t>(windowScale));
    key.SetInt("FullScreenScaling", static_cast<std::uint32_t>(fullScreenScaling));
    key.SetInt("CustomCursors", customCursors ? 1 : 0);
    key.SetInt("ITSuccess", transferSucceeded ? 1 : 0);
    key.SetInt("TimesPlayed", static_cast<std::uint32_t>(timesPlayed));
    key.SetInt("LastVerCheckQueryTime", static_cast<std::uint32_t>(lastUpdateCheck));
    key.SetInt("InProgress", runEnded ? 0 : 1);
}

void AppSettings::Load(const SettingsStore& store, const std::string& keyName,
                       std::int64_t nowSeconds) {
    if (keyName.empty()) return;
    timesPlayed = 0;
    auto key = store.OpenKey(SettingsKeyPath(keyName));
    if (!key) return;  // no key yet: every default stays, nothing is written
    ReadFrom(*key, nowSeconds);
    key->Commit();
}

bool AppSettings::Save(const SettingsStore& store, const std::string& keyName,
                       bool runEnded) const {
    if (keyName.empty()) return false;
    auto key = store.CreateKey(SettingsKeyPath(keyName));
    if (!key) return false;
    WriteTo(*key, runEnded);
    return key->Commit();
}

}  // namespace Varn
