// Tests of the settings store: key paths, value round trips, damaged files and the
// atomic write.
#include "framework/SettingsStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "tests/settings/SettingsTestFolder.h"

namespace Varn {
namespace {

constexpr const char* kKey = "SOFTWARE\\Zandrel\\Gemlode";

TEST(SettingsStore, KeyPathBecomesAFolderBelowTheRoot) {
    SettingsStore store("/home/ann/.config");
    EXPECT_EQ(store.KeyFolder(kKey), "/home/ann/.config/Zandrel/Gemlode");
    EXPECT_EQ(store.KeyFolder("software\\Zandrel\\Gemlode"), "/home/ann/.config/Zandrel/Gemlode");
    EXPECT_EQ(store.KeyFolder("Zandrel\\Gemlode"), "/home/ann/.config/Zandrel/Gemlode");
}

TEST(SettingsStore, UnusableKeyPathsAreRefused) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    for (const char* path : {"SOFTWARE\\", "SOFTWARE\\..\\x", "SOFTWARE\\a\\\\b", "SOFTWARE\\a/b",
                             "SOFTWARE\\.", ""}) {
        EXPECT_TRUE(store.KeyFolder(path).empty()) << path;
        EXPECT_FALSE(store.CreateKey(path)) << path;
    }
    EXPECT_TRUE(SettingsStore("").KeyFolder(kKey).empty());
}

TEST(SettingsStore, DefaultRootFollowsXdgConfigHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = oldXdg ? oldXdg : "";
    setenv("XDG_CONFIG_HOME", "/tmp/xdg-here", 1);
    EXPECT_EQ(SettingsStore::DefaultConfigRoot(), "/tmp/xdg-here");
    setenv("XDG_CONFIG_HOME", "relative/not/allowed", 1);
    setenv("HOME", "/home/bob", 1);
    EXPECT_EQ(SettingsStore::DefaultConfigRoot(), "/home/bob/.config");
    if (oldXdg) {
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

TEST(SettingsStore, MissingKeyDoesNotOpenButCanBeCreated) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    EXPECT_FALSE(store.OpenKey(kKey));
    EXPECT_TRUE(store.CreateKey(kKey));
    EXPECT_TRUE(std::filesystem::is_directory(folder.GameFile().parent_path()));
    EXPECT_TRUE(store.OpenKey(kKey));
}

TEST(SettingsStore, ValuesSurviveAReopen) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    const std::string awkward = std::string("Ann \"Ace\" \\ O'Neil\n\t\xe9\x01", 20) + '\0' + "end";
    {
        auto key = store.CreateKey(kKey);
        key->SetInt("TimesPlayed", 7);
        key->SetInt("Big", 0xFFFFFFFFu);
        key->SetString("LastScoreName", awkward);
        key->SetString("Empty", "");
    }  // committed on close
    auto key = store.OpenKey(kKey);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->GetInt("TimesPlayed"), 7u);
    EXPECT_EQ(key->GetInt("Big"), 0xFFFFFFFFu);
    EXPECT_EQ(key->GetString("LastScoreName"), awkward);
    EXPECT_EQ(key->GetString("Empty"), "");
    EXPECT_FALSE(key->GetInt("Missing"));
}

TEST(SettingsStore, ValueOfTheOtherTypeCountsAsMissing) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    auto key = store.CreateKey(kKey);
    key->SetString("MusicVolume", "50");
    key->SetInt("ReferId", 12);
    EXPECT_FALSE(key->GetInt("MusicVolume"));
    EXPECT_FALSE(key->GetString("ReferId"));
}

TEST(SettingsStore, LongStringsAreCutToTheRequestedLength) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    auto key = store.CreateKey(kKey);
    key->SetString("LastScoreName", std::string(300, 'x'));
    EXPECT_EQ(key->GetString("LastScoreName", 256)->size(), 256u);
}

TEST(SettingsStore, WritesReplaceTheFileWithoutLeavingTemporaries) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    for (std::uint32_t i = 0; i < 3; ++i) {
        auto key = store.CreateKey(kKey);
        key->SetInt("Count", i);
        EXPECT_TRUE(key->Commit());
    }
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.GameFile().parent_path())) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "settings.conf");
    }
    EXPECT_EQ(files, 1);
    EXPECT_EQ(store.OpenKey(kKey)->GetInt("Count"), 2u);
    EXPECT_NE(folder.ReadGameFile().find("\"Count\"=dword:00000002"), std::string::npos);
}

TEST(SettingsStore, FailedWriteKeepsTheOldFile) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    store.CreateKey(kKey)->SetInt("Count", 1);
    // A folder where the temporary file must go makes the write fail, even for root.
    std::filesystem::path temp = folder.GameFile();
    temp += ".tmp" + std::to_string(::getpid());
    std::filesystem::create_directories(temp);
    {
        auto key = store.OpenKey(kKey);
        key->SetInt("Count", 2);
        EXPECT_FALSE(key->Commit());
    }
    std::filesystem::remove(temp);
    EXPECT_EQ(store.OpenKey(kKey)->GetInt("Count"), 1u);
}

TEST(SettingsStore, FailedRenameReportsFailureAndLeavesNoTemporary) {
    test::SettingsTestFolder folder;
    std::filesystem::create_directories(folder.GameFile() / "blocker");  // cannot be replaced
    SettingsStore store(folder.Root());
    auto key = store.OpenKey(kKey);
    key->SetInt("Count", 1);
    EXPECT_FALSE(key->Commit());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.GameFile().parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // only the blocking folder
}

TEST(SettingsStore, DamagedFileOpensEmptyAndIsReplacedOnWrite) {
    const std::string damaged[] = {
        "\"MusicVolume\"=dword:0032\n",      // short number
        "\"MusicVolume\"=dword:zz000032\n",  // not hex
        "MusicVolume=dword:00000032\n",      // unquoted name
        "\"Name\"=\"no closing quote\n",     //
        "\"Name\"=\"bad escape \\q\"\n",     //
        "\"Name\"=\"trailing\" junk\n",      //
        std::string(2 * 1024 * 1024, '#'),   // far too big
    };
    for (const std::string& content : damaged) {
        test::SettingsTestFolder folder;
        folder.WriteGameFile(content);
        SettingsStore store(folder.Root());
        {
            auto key = store.OpenKey(kKey);
            ASSERT_TRUE(key);
            EXPECT_TRUE(key->WasDamaged()) << content.substr(0, 40);
            EXPECT_FALSE(key->GetInt("MusicVolume"));
            key->SetInt("MusicVolume", 40);
        }
        auto reopened = store.OpenKey(kKey);
        EXPECT_FALSE(reopened->WasDamaged());
        EXPECT_EQ(reopened->GetInt("MusicVolume"), 40u);
    }
}

TEST(SettingsStore, CommentsBlankLinesAndWindowsLineEndsAreAccepted) {
    test::SettingsTestFolder folder;
    folder.WriteGameFile("# note\r\n\r\n\"Muted\"=dword:00000001\r\n\"ReferId\"=\"abc\"\r\n");
    auto key = SettingsStore(folder.Root()).OpenKey(kKey);
    EXPECT_FALSE(key->WasDamaged());
    EXPECT_EQ(key->GetInt("Muted"), 1u);
    EXPECT_EQ(key->GetString("ReferId"), "abc");
}

TEST(SettingsStore, RepeatedNamesKeepTheLastValueEvenInHugeFiles) {
    test::SettingsTestFolder folder;
    std::string content;
    for (int i = 0; i < 40000; ++i) {
        content += "\"v" + std::to_string(i % 20000) +
                   "\"=dword:" + (i < 20000 ? std::string("00000001") : std::string("00000002")) +
                   "\n";
    }
    folder.WriteGameFile(content);
    auto key = SettingsStore(folder.Root()).OpenKey(kKey);
    EXPECT_FALSE(key->WasDamaged());
    EXPECT_EQ(key->GetInt("v0"), 2u);
    EXPECT_EQ(key->GetInt("v19999"), 2u);
}

TEST(SettingsStore, UnreadableFileCountsAsDamaged) {
    test::SettingsTestFolder folder;
    std::filesystem::create_directories(folder.GameFile());  // a folder where the file should be
    auto key = SettingsStore(folder.Root()).OpenKey(kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WasDamaged());
}

}  // namespace
}  // namespace Varn
