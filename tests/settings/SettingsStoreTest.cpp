// Tests of the settings store: key paths, value round trips, damaged files and the
// atomic write.
#include "framework/SettingsStore.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "tests/platform/SystemFaults.h"
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

TEST(SettingsStore, CreatedFoldersArePrivate) {
    test::SettingsTestFolder folder;
    const mode_t old = umask(022);
    ASSERT_TRUE(SettingsStore((folder.Root() / "config").string()).CreateKey(kKey));
    umask(old);
    for (const char* part : {"config", "config/Zandrel", "config/Zandrel/Gemlode"}) {
        struct stat info {};
        ASSERT_EQ(stat((folder.Root() / part).c_str(), &info), 0) << part;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << part;
    }
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
    const std::string awkward("Ann \"Ace\" \\ O'Neil\n\t\xe9\x01\0end", 24);
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

TEST(SettingsStore, OnlyDecimalTextReadsAsAnInteger) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    auto key = store.CreateKey(kKey);
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"50", 50u},          {"4294967295", 0xFFFFFFFFu}, {"4294967296", std::nullopt},
        {"-1", std::nullopt}, {"", std::nullopt},          {"5x", std::nullopt},
        {" 5", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        key->SetString("MusicVolume", text);
        EXPECT_EQ(key->GetInt("MusicVolume"), expected) << text;
    }
    key->SetInt("ReferId", 12);
    EXPECT_EQ(key->GetString("ReferId"), "12");
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
    EXPECT_NE(folder.ReadGameFile().find("\nCount=2\n"), std::string::npos);
}

TEST(SettingsStore, FailedWriteKeepsTheOldFile) {
    test::SettingsTestFolder folder;
    SettingsStore store(folder.Root());
    store.CreateKey(kKey)->SetInt("Count", 1);
    {
        test::NoRoomForFiles full;  // makes the write fail, even for root
        auto key = store.OpenKey(kKey);
        key->SetInt("Count", 2);
        EXPECT_FALSE(key->Commit());
    }
    EXPECT_EQ(store.OpenKey(kKey)->GetInt("Count"), 1u);
}

TEST(SettingsStore, FailedRenameReportsFailureAndLeavesNoTemporary) {
    test::SettingsTestFolder folder;
    // Folders where the file and its damaged copy go cannot be replaced.
    std::filesystem::create_directories(folder.GameFile() / "blocker");
    std::filesystem::create_directories(folder.GameFile().string() + ".bad/blocker");
    SettingsStore store(folder.Root());
    auto key = store.OpenKey(kKey);
    key->SetInt("Count", 1);
    EXPECT_FALSE(key->Commit());
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.GameFile().parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // only the blocking folders
}

TEST(SettingsStore, DamagedFileOpensEmptyAndIsReplacedOnWrite) {
    const std::string damaged[] = {
        "\"MusicVolume\"=dword:0032\n",      // old form: short number
        "\"MusicVolume\"=dword:zz000032\n",  // old form: not hex
        "\"Name\"=\"no closing quote\n",     //
        "\"Name\"=\"bad escape \\q\"\n",     //
        "\"Name\"=\"trailing\" junk\n",      //
        "MusicVolume=50\n",                  // key file: a value outside any group
        "[Gemlode]\nMusicVolume\n",          // no '='
        "[Gemlode]\nName=bad \\q escape\n",  //
        "[Gemlode\nMusicVolume=50\n",        // unclosed group
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

TEST(SettingsStore, CommentsBlankLinesWindowsLineEndsAndOtherGroupsAreAccepted) {
    test::SettingsTestFolder folder;
    folder.WriteGameFile(
        "# note\r\n\r\n[Other]\r\nMuted=0\r\n[Gemlode]\r\n Muted = 1\r\nReferId=abc\r\n");
    auto key = SettingsStore(folder.Root()).OpenKey(kKey);
    EXPECT_FALSE(key->WasDamaged());
    EXPECT_EQ(key->GetInt("Muted"), 1u);
    EXPECT_EQ(key->GetString("ReferId"), "abc");
}

TEST(SettingsStore, WrittenFileIsAKeyFileWithACommentPerKnownValue) {
    test::SettingsTestFolder folder;
    {
        auto key = SettingsStore(folder.Root()).CreateKey(kKey);
        key->SetInt("MusicVolume", 50);
        key->SetString("LastScoreName", " Ann \\ B\xe9");
    }
    EXPECT_EQ(folder.ReadGameFile(),
              "# Gemlode settings; edit them while the game is not running.\n"
              "[Gemlode]\n"
              "# Music volume, 0 to 100\n"
              "MusicVolume=50\n"
              "# Name last entered for a high score, up to 255 characters\n"
              "LastScoreName=\\sAnn \\\\ B\xc3\xa9\n");
}

TEST(SettingsStore, OldFormIsReadOnceAndConvertedAtTheNextWrite) {
    test::SettingsTestFolder folder;
    folder.WriteGameFile(
        "# Gemlode settings\n\"MusicVolume\"=dword:00000032\n\"LastScoreName\"=\"Ann \\xE9\"\n");
    SettingsStore store(folder.Root());
    {
        auto key = store.OpenKey(kKey);
        EXPECT_TRUE(key->WasOldForm());
        EXPECT_EQ(key->GetInt("MusicVolume"), 50u);
    }  // nothing changed, yet the conversion is written
    const std::string text = folder.ReadGameFile();
    EXPECT_NE(text.find("[Gemlode]\n"), std::string::npos);
    EXPECT_NE(text.find("\nMusicVolume=50\n"), std::string::npos);
    auto key = store.OpenKey(kKey);
    EXPECT_FALSE(key->WasOldForm());
    EXPECT_EQ(key->GetString("LastScoreName"), "Ann \xe9");
}

TEST(SettingsStore, DamagedFileIsKeptBesideTheNewOne) {
    test::SettingsTestFolder folder;
    folder.WriteGameFile("[Gemlode]\ngarbage\n");
    SettingsStore store(folder.Root());
    store.OpenKey(kKey)->SetInt("Muted", 1);
    std::filesystem::path kept = folder.GameFile();
    kept += ".bad";
    std::ifstream in(kept);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[Gemlode]\ngarbage\n");
    EXPECT_EQ(store.OpenKey(kKey)->GetInt("Muted"), 1u);
}

TEST(SettingsStore, FifoInPlaceOfTheFileCountsAsDamagedWithoutBlocking) {
    test::SettingsTestFolder folder;
    std::filesystem::create_directories(folder.GameFile().parent_path());
    ASSERT_EQ(::mkfifo(folder.GameFile().c_str(), 0600), 0);
    auto key = SettingsStore(folder.Root()).OpenKey(kKey);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->WasDamaged());
}

// A file just under the size limit, with one long name, must still read after the
// game rewrites it (it used to grow past the limit and reset every setting).
TEST(SettingsStore, RewrittenFileOfTheLargestSizeStillReads) {
    test::SettingsTestFolder folder;
    std::string text = "[Gemlode]\nMusicVolume=20\nLastScoreName=x";
    // Tabs, each written back as a two-byte escape.
    text += std::string(kMaxSettingsFileBytes - text.size() - 1, '\t') + "\n";
    folder.WriteGameFile(text);
    SettingsStore store(folder.Root());
    {
        auto key = store.OpenKey(kKey);
        ASSERT_FALSE(key->WasDamaged());
        key->SetInt("InProgress", 1);
    }
    auto key = store.OpenKey(kKey);
    EXPECT_FALSE(key->WasDamaged());
    EXPECT_EQ(key->GetInt("MusicVolume"), 20u);
    EXPECT_LE(std::filesystem::file_size(folder.GameFile()), kMaxSettingsFileBytes);
}

TEST(SettingsStore, ManyUnknownValuesAreLeftOutRatherThanWritingAnUnreadableFile) {
    test::SettingsTestFolder folder;
    std::string text = "[Gemlode]\nMuted=1\n";
    for (int i = 0; text.size() < kMaxSettingsFileBytes - 40; ++i)
        text += "v" + std::to_string(i) + "=1\n";
    folder.WriteGameFile(text);
    SettingsStore store(folder.Root());
    store.OpenKey(kKey)->SetInt("MusicVolume", 10);  // adds a value and its comment
    auto key = store.OpenKey(kKey);
    EXPECT_FALSE(key->WasDamaged());
    EXPECT_EQ(key->GetInt("Muted"), 1u);
    EXPECT_EQ(key->GetInt("MusicVolume"), 10u);
}

TEST(SettingsStore, RepeatedNamesKeepTheLastValueEvenInHugeFiles) {
    test::SettingsTestFolder folder;
    std::string content;
    for (int i = 0; i < 40000; ++i) {
        content += "v" + std::to_string(i % 20000) + "=" + (i < 20000 ? "1" : "2") + "\n";
    }
    content = "[Gemlode]\n" + content;
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
