// Where the game reads its data and writes its files.
#include "platform/GameFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "tests/platform/TempFolder.h"

namespace Varn {
namespace {

namespace fs = std::filesystem;

class GameFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        program = temp.path / "usr" / "games";
        fs::create_directories(program);
        inputs.programPath = program / "gemlode";
        inputs.home = (temp.path / "home").string();
    }
    void MakeData(const fs::path& folder) {
        for (const char* part : {"images", "sounds", "music", "data"})
            fs::create_directories(folder / part);
    }
    void ProgramFolderReadOnly() {
        inputs.writable = [this](const fs::path& folder) { return folder != program; };
    }

    test::TempFolder temp;
    fs::path program;
    FolderInputs inputs;
};

TEST_F(GameFoldersTest, BuildFolderHoldsDataAndTakesTheFiles) {
    MakeData(program);
    const GameFolders folders = DecideGameFolders(inputs);
    EXPECT_EQ(folders.dataFolder, program);
    EXPECT_EQ(folders.writeFolder, program);
    EXPECT_TRUE(folders.writeFolderIsProgramFolder);
    EXPECT_EQ(folders.WritePath("savegame.dat"), program / "savegame.dat");
}

TEST_F(GameFoldersTest, InstalledDataIsFoundBesideTheProgramFolder) {
    MakeData(temp.path / "usr" / "share" / "gemlode");
    inputs.configuredDataFolder = "/nonexistent/share/gemlode";
    EXPECT_EQ(DecideGameFolders(inputs).dataFolder, temp.path / "usr" / "share" / "gemlode");
}

TEST_F(GameFoldersTest, ConfiguredDataFolderIsTheLastChoice) {
    MakeData(temp.path / "elsewhere");
    inputs.configuredDataFolder = temp.path / "elsewhere";
    EXPECT_EQ(DecideGameFolders(inputs).dataFolder, temp.path / "elsewhere");
}

TEST_F(GameFoldersTest, ReadOnlyProgramFolderWritesUnderHomeWhenXdgIsUnset) {
    ProgramFolderReadOnly();
    const GameFolders folders = DecideGameFolders(inputs);
    EXPECT_EQ(folders.writeFolder, temp.path / "home/.local/share/Zandrel/Gemlode");
    EXPECT_FALSE(folders.writeFolderIsProgramFolder);
}

TEST_F(GameFoldersTest, WritableInstallStillWritesUnderXdg) {
    MakeData(temp.path / "usr" / "share" / "gemlode");  // root may write to usr/games
    const GameFolders folders = DecideGameFolders(inputs);
    EXPECT_EQ(folders.writeFolder, temp.path / "home/.local/share/Zandrel/Gemlode");
    EXPECT_FALSE(folders.writeFolderIsProgramFolder);
}

TEST_F(GameFoldersTest, PortableMarkerKeepsTheFilesBesideTheProgram) {
    std::ofstream(program / kPortableMarker) << "";
    EXPECT_EQ(DecideGameFolders(inputs).writeFolder, program);
    ProgramFolderReadOnly();
    EXPECT_EQ(DecideGameFolders(inputs).writeFolder,
              temp.path / "home/.local/share/Zandrel/Gemlode");
}

struct XdgCase {
    const char* value;
    const char* expected;  // below the temporary folder
};

TEST_F(GameFoldersTest, OnlyAnAbsoluteXdgDataHomeCounts) {
    ProgramFolderReadOnly();
    const std::string absolute = (temp.path / "xdg").string();
    const XdgCase cases[] = {
        {"", "home/.local/share/Zandrel/Gemlode"},
        {"relative/xdg", "home/.local/share/Zandrel/Gemlode"},
        {"./xdg", "home/.local/share/Zandrel/Gemlode"},
        {absolute.c_str(), "xdg/Zandrel/Gemlode"},
    };
    for (const XdgCase& xdg : cases) {
        inputs.xdgDataHome = xdg.value;
        EXPECT_EQ(DecideGameFolders(inputs).writeFolder, temp.path / xdg.expected) << xdg.value;
    }
}

TEST(XdgBaseFolder, RelativeOrEmptyValuesFallBackToHome) {
    EXPECT_EQ(XdgBaseFolder("/x/config", "/home/ann", ".config"), "/x/config");
    EXPECT_EQ(XdgBaseFolder("config", "/home/ann", ".config"), "/home/ann/.config");
    EXPECT_EQ(XdgBaseFolder("", "/home/ann", ".config"), "/home/ann/.config");
    EXPECT_EQ(XdgBaseFolder("rel", "", ".config"), "");
    EXPECT_EQ(XdgBaseFolder("", "relative-home", ".config"), "");
}

TEST_F(GameFoldersTest, NoHomeAndNoXdgMeansNothingCanBeWritten) {
    ProgramFolderReadOnly();
    inputs.home = "";
    GameFolders folders = DecideGameFolders(inputs);
    EXPECT_FALSE(folders.CanWrite());
    EXPECT_FALSE(PrepareWriteFolder(folders));
    EXPECT_TRUE(folders.WritePath("hiscores.dat").empty());
}

TEST_F(GameFoldersTest, MissingXdgFolderIsCreatedPrivateOnPreparing) {
    ProgramFolderReadOnly();
    inputs.xdgDataHome = (temp.path / "xdg").string();
    GameFolders folders = DecideGameFolders(inputs);
    EXPECT_FALSE(fs::exists(folders.writeFolder));  // deciding touches nothing
    ASSERT_TRUE(PrepareWriteFolder(folders));
    for (const fs::path& made :
         {temp.path / "xdg", temp.path / "xdg/Zandrel", folders.writeFolder}) {
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0) << made;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
}

TEST_F(GameFoldersTest, UnwritableXdgFolderLeavesNothingToWrite) {
    ProgramFolderReadOnly();
    std::ofstream(temp.path / "plainfile") << "x";  // no folder can be made below a file
    inputs.xdgDataHome = (temp.path / "plainfile" / "xdg").string();
    GameFolders folders = DecideGameFolders(inputs);
    EXPECT_FALSE(PrepareWriteFolder(folders));
    EXPECT_FALSE(folders.CanWrite());
}

TEST_F(GameFoldersTest, RealPermissionCheckSeesAReadOnlyFolderUnlessRoot) {
    fs::create_directory(temp.path / "locked");
    fs::permissions(temp.path / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(IsWritableFolder(temp.path / "locked"), ::geteuid() == 0);
    EXPECT_TRUE(IsWritableFolder(temp.path));
    EXPECT_FALSE(IsWritableFolder(temp.path / "missing"));
}

}  // namespace
}  // namespace Varn
