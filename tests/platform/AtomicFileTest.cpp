// Replacing a file through a temporary in the same folder.
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "tests/platform/TempFolder.h"

namespace Varn {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int EntryCount(const fs::path& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) ++count;
    return count;
}

TEST(AtomicFile, WritesNewAndReplacesOldLeavingOnlyTheTarget) {
    test::TempFolder temp;
    const fs::path file = temp.path / "hiscores.dat";
    ASSERT_TRUE(WriteFileAtomically(file, "first"));
    ASSERT_TRUE(WriteFileAtomically(file, std::string("se\0cond", 7)));
    EXPECT_EQ(Read(file), std::string("se\0cond", 7));
    EXPECT_EQ(EntryCount(temp.path), 1);
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(AtomicFile, FailureKeepsTheOldFileAndLeavesNoTemporary) {
    test::TempFolder temp;
    const fs::path file = temp.path / "savegame.dat";
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    fs::create_directories(TemporaryPathFor(file) / "blocker");  // the temporary cannot be made
    EXPECT_FALSE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(Read(file), "old");
    fs::remove_all(TemporaryPathFor(file));
    EXPECT_FALSE(WriteFileAtomically(temp.path / "missing" / "file", "x"));
    fs::create_directories(temp.path / "folder" / "inside");  // a folder cannot be replaced
    EXPECT_FALSE(WriteFileAtomically(temp.path / "folder", "x"));
    EXPECT_FALSE(fs::exists(TemporaryPathFor(temp.path / "folder")));
}

TEST(AtomicFile, SymlinkedTemporaryIsNotFollowed) {
    test::TempFolder temp;
    const fs::path file = temp.path / "adlist.txt";
    std::ofstream(temp.path / "victim") << "keep";
    fs::create_symlink(temp.path / "victim", TemporaryPathFor(file));
    EXPECT_FALSE(WriteFileAtomically(file, "new"));
    EXPECT_EQ(Read(temp.path / "victim"), "keep");
}

TEST(AtomicFile, LeftoverTemporariesAreRemovedAndNothingElse) {
    test::TempFolder temp;
    for (const char* name : {"savegame.dat", "hiscores.dat.gemlode-tmp-4242",
                             "settings.conf.gemlode-tmp-1", "notes.tmp"})
        std::ofstream(temp.path / name) << "x";
    fs::create_directory(temp.path / "dir.gemlode-tmp-9");
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.path), 2);
    EXPECT_TRUE(fs::exists(temp.path / "savegame.dat"));
    EXPECT_TRUE(fs::exists(temp.path / "notes.tmp"));
    EXPECT_TRUE(fs::exists(temp.path / "dir.gemlode-tmp-9"));
    EXPECT_EQ(EntryCount(temp.path), 3);
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.path / "missing"), 0);
}

}  // namespace
}  // namespace Varn
