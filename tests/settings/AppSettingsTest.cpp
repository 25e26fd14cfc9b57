// Tests of the framework's settings: defaults, encodings, first run, mute, the
// clean-exit flag and the last update-check time.
#include "framework/AppSettings.h"

#include <gtest/gtest.h>

#include "tests/settings/SettingsTestFolder.h"

namespace Varn {
namespace {

constexpr const char* kKeyName = "Zandrel\\Gemlode";
constexpr std::int64_t kNow = 1800000000;

class AppSettingsTest : public ::testing::Test {
protected:
    std::optional<SettingsKey> Key() { return store_.OpenKey(SettingsKeyPath(kKeyName)); }
    void Put(const std::string& name, std::uint32_t value) {
        store_.CreateKey(SettingsKeyPath(kKeyName))->SetInt(name, value);
    }
    AppSettings Loaded() {
        AppSettings settings;
        settings.Load(store_, kKeyName, kNow);
        return settings;
    }

    test::SettingsTestFolder folder_;
    SettingsStore store_{folder_.Root()};
};

TEST_F(AppSettingsTest, FirstRunKeepsDefaultsAndWritesNothing) {
    AppSettings settings;
    settings.timesPlayed = 9;
    settings.Load(store_, kKeyName, kNow);
    EXPECT_EQ(settings.musicVolume, 0.5);
    EXPECT_EQ(settings.sfxVolume, 0.85);
    EXPECT_FALSE(settings.muted);
    EXPECT_TRUE(settings.windowed);
    EXPECT_FALSE(settings.customCursors);
    EXPECT_FALSE(settings.transferSucceeded);
    EXPECT_EQ(settings.lastUpdateCheck, 0);
    EXPECT_TRUE(settings.previousRunEndedCleanly);
    EXPECT_EQ(settings.timesPlayed, 0);  // reset before the key is even opened
    EXPECT_FALSE(std::filesystem::exists(folder_.Root() / "Zandrel"));
}

TEST_F(AppSettingsTest, FirstSaveCreatesEveryValueInOrder) {
    EXPECT_TRUE(AppSettings{}.Save(store_, kKeyName));
    EXPECT_EQ(folder_.ReadGameFile(),
              "# Gemlode settings; edit them while the game is not running.\n"
              "[Gemlode]\n"
              "# Music volume, 0 to 100\nMusicVolume=50\n"
              "# Sound effects volume, 0 to 100\nSfxVolume=85\n"
              "# 1 silences music and sound effects, 0 plays them\nMuted=0\n"
              "# 0 plays in a window, 1 full screen\nScreenMode=0\n"
              "# Window size: the picture 1 to 8 times as large, 0 as large as fits\n"
              "WindowScale=0\n"
              "# Full screen: 0 automatic, 1 sharp whole multiples, 2 fill screen\n"
              "FullScreenScaling=0\n"
              "# 1 uses the game's own mouse pointers, 0 the desktop's\nCustomCursors=0\n"
              "# 1 when the last transfer of the game succeeded, else 0\nITSuccess=0\n"
              "# Games played, 0 to 4294967295\nTimesPlayed=0\n"
              "# Time of the last update check, in seconds since 1970\n"
              "LastVerCheckQueryTime=0\n"
              "# 1 while the game runs, 0 after it ended cleanly\nInProgress=0\n");
}

TEST_F(AppSettingsTest, SaveDuringTheRunKeepsTheRunMarkedAsGoing) {
    EXPECT_TRUE(AppSettings{}.Save(store_, kKeyName, false));
    EXPECT_EQ(Key()->GetInt("InProgress"), 1u);
}

TEST_F(AppSettingsTest, VolumesAreStoredAsTruncatedHundredths) {
    AppSettings settings;
    settings.musicVolume = 0.857;
    settings.sfxVolume = 0.999;
    settings.Save(store_, kKeyName);
    EXPECT_EQ(Key()->GetInt("MusicVolume"), 85u);
    EXPECT_EQ(Key()->GetInt("SfxVolume"), 99u);
    const AppSettings loaded = Loaded();
    EXPECT_DOUBLE_EQ(loaded.musicVolume, 0.85);
    EXPECT_DOUBLE_EQ(loaded.sfxVolume, 0.99);
}

TEST_F(AppSettingsTest, EveryStoredVolumeSurvivesRepeatedRuns) {
    for (std::uint32_t stored = 0; stored <= 100; ++stored) {
        Put("MusicVolume", stored);
        for (int run = 0; run < 3; ++run) Loaded().Save(store_, kKeyName);
        EXPECT_EQ(Key()->GetInt("MusicVolume"), stored);  // 0.57 must not drift to 0.56
    }
}

TEST_F(AppSettingsTest, MutedStartSilencesOutputsButKeepsTheVolumes) {
    Put("MusicVolume", 70);
    Put("SfxVolume", 60);
    Put("Muted", 1);
    const AppSettings settings = Loaded();
    EXPECT_TRUE(settings.muted);
    EXPECT_DOUBLE_EQ(settings.musicVolume, 0.7);
    EXPECT_DOUBLE_EQ(settings.sfxVolume, 0.6);
    EXPECT_EQ(settings.MusicOutputVolume(), 0.0);
    EXPECT_EQ(settings.SfxOutputVolume(), 0.0);
    settings.Save(store_, kKeyName);
    EXPECT_EQ(Key()->GetInt("MusicVolume"), 70u);
    EXPECT_EQ(Key()->GetInt("SfxVolume"), 60u);
    EXPECT_EQ(Key()->GetInt("Muted"), 1u);
}

TEST_F(AppSettingsTest, UnmutedOutputsFollowTheVolumes) {
    AppSettings settings;
    settings.musicVolume = 0.5;
    settings.sfxVolume = 0.85;
    EXPECT_DOUBLE_EQ(settings.MusicOutputVolume(), 0.2);
    EXPECT_DOUBLE_EQ(settings.SfxOutputVolume(), 0.85);
}

TEST_F(AppSettingsTest, FlagsReadAnyNonZeroValue) {
    Put("ScreenMode", 2);
    Put("CustomCursors", 5);
    Put("ITSuccess", 0x100);
    Put("TimesPlayed", 41);
    const AppSettings settings = Loaded();
    EXPECT_FALSE(settings.windowed);
    EXPECT_TRUE(settings.customCursors);
    EXPECT_TRUE(settings.transferSucceeded);
    EXPECT_EQ(settings.timesPlayed, 41);
}

TEST_F(AppSettingsTest, WindowScaleOutsideOneToEightReadsAsAutomatic) {
    const std::pair<std::uint32_t, int> cases[] = {{3, 3}, {8, 8}, {0, 0}, {9, 0}, {0xFFFFFFFF, 0}};
    for (const auto& [stored, read] : cases) {
        Put("WindowScale", stored);
        EXPECT_EQ(Loaded().windowScale, read) << stored;
        Put("FullScreenScaling", stored);
        EXPECT_EQ(int(Loaded().fullScreenScaling), stored <= 2 ? int(stored) : 0) << stored;
    }
}

TEST_F(AppSettingsTest, MissingLastCheckTimeTakesNow) {
    Put("Muted", 0);  // the key exists, the time does not
    EXPECT_EQ(Loaded().lastUpdateCheck, kNow);
    Put("LastVerCheckQueryTime", 1234);
    EXPECT_EQ(Loaded().lastUpdateCheck, 1234);
}

TEST_F(AppSettingsTest, WithoutAKeyTheLastCheckTimeStaysZero) {
    EXPECT_EQ(Loaded().lastUpdateCheck, 0);
}

TEST_F(AppSettingsTest, InProgressMarksRunsThatDidNotEndCleanly) {
    Put("InProgress", 1);  // the previous run crashed
    EXPECT_FALSE(Loaded().previousRunEndedCleanly);

    Put("InProgress", 0);
    const AppSettings settings = Loaded();
    EXPECT_TRUE(settings.previousRunEndedCleanly);
    EXPECT_EQ(Key()->GetInt("InProgress"), 1u);  // this run is now going
    settings.Save(store_, kKeyName);
    EXPECT_EQ(Key()->GetInt("InProgress"), 0u);
}

TEST_F(AppSettingsTest, EmptyKeyNameReadsAndWritesNothing) {
    AppSettings settings;
    settings.timesPlayed = 9;
    settings.Load(store_, "", kNow);
    EXPECT_EQ(settings.timesPlayed, 9);
    EXPECT_FALSE(settings.Save(store_, ""));
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Root()));
}

TEST_F(AppSettingsTest, DamagedValuesAndFilesGiveSafeSettings) {
    Put("MusicVolume", 0xFFFFFFFFu);
    EXPECT_EQ(Loaded().musicVolume, 1.0);

    folder_.WriteGameFile("[Gemlode]\nMusicVolume=3\nInProgress=1\njunk\n");
    const AppSettings settings = Loaded();
    EXPECT_EQ(settings.musicVolume, 0.5);
    EXPECT_TRUE(settings.previousRunEndedCleanly);
    EXPECT_EQ(settings.lastUpdateCheck, kNow);
}

TEST_F(AppSettingsTest, OutOfRangeFieldsAreSavedInRange) {
    AppSettings settings;
    settings.musicVolume = -0.2;
    settings.sfxVolume = 3.0;
    settings.timesPlayed = -1;
    settings.lastUpdateCheck = 4000000000;  // past 2038 still fits 32 unsigned bits
    settings.Save(store_, kKeyName);
    EXPECT_EQ(Key()->GetInt("MusicVolume"), 0u);
    EXPECT_EQ(Key()->GetInt("SfxVolume"), 100u);
    EXPECT_EQ(Loaded().timesPlayed, -1);
    EXPECT_EQ(Loaded().lastUpdateCheck, 4000000000);
}

TEST_F(AppSettingsTest, SaveWithoutAnyConfigFolderFails) {
    SettingsStore nowhere("");
    EXPECT_FALSE(AppSettings{}.Save(nowhere, kKeyName));
    AppSettings settings;
    settings.Load(nowhere, kKeyName, kNow);
    EXPECT_EQ(settings.musicVolume, 0.5);
}

}  // namespace
}  // namespace Varn
