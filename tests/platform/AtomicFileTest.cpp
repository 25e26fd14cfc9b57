// Replacing a file through a temporary in the same folder.
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/platform/SystemFaults.h"
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
    {
        test::NoRoomForFiles full;
        EXPECT_FALSE(WriteFileAtomically(file, "new"));
    }
    EXPECT_EQ(Read(file), "old");
    EXPECT_FALSE(WriteFileAtomically(temp.path / "missing" / "file", "x"));
    fs::create_directories(temp.path / "folder" / "inside");  // a folder cannot be replaced
    EXPECT_FALSE(WriteFileAtomically(temp.path / "folder", "x"));
    EXPECT_FALSE(test::HoldsTemporary(temp.path));
}

// Links planted where the temporary is opened are never written through: another name is drawn.
TEST(AtomicFile, PlantedLinksAreNotWrittenThrough) {
    test::TempFolder temp;
    const fs::path file = temp.path / "adlist.txt";
    std::ofstream(temp.path / "victim") << "keep";
    const std::string guess = file.string() + std::string(kTemporaryMarker);
    const fs::path names[] = {guess + "link", guess + "hard", guess + "free"};
    fs::create_symlink(temp.path / "victim", names[0]);
    fs::create_hard_link(temp.path / "victim", names[1]);
    int drawn = 0;
    EXPECT_TRUE(WriteFileAtomically(file, "new",
                                    [&](const fs::path&) { return names[std::min(drawn++, 2)]; }));
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(Read(temp.path / "victim"), "keep");
    EXPECT_EQ(Read(file), "new");
    const fs::path name = RandomTemporaryPath(file);
    EXPECT_EQ(name.string().rfind(guess, 0), 0u);
    EXPECT_NE(name, RandomTemporaryPath(file));
}

TEST(AtomicFile, LeftoverTemporariesAreRemovedAndNothingElse) {
    test::TempFolder temp;
    for (const char* name : {"savegame.dat", "hiscores.dat.gemlode-tmp-4242",
                             "settings.conf.gemlode-tmp-1", "notes.tmp"})
        std::ofstream(temp.path / name) << "x";
    fs::create_directory(temp.path / "dir.gemlode-tmp-9");
    fs::create_directories(temp.path / "ads" / "sub");
    std::ofstream(temp.path / "ads" / "sub" / "pic.gif.gemlode-tmp-Ab3") << "x";
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.path), 3);
    EXPECT_TRUE(fs::exists(temp.path / "savegame.dat"));
    EXPECT_TRUE(fs::exists(temp.path / "notes.tmp"));
    EXPECT_TRUE(fs::exists(temp.path / "dir.gemlode-tmp-9"));
    EXPECT_EQ(EntryCount(temp.path), 4);
    EXPECT_EQ(RemoveLeftoverTemporaries(temp.path / "missing"), 0);
}

}  // namespace
}  // namespace Varn
