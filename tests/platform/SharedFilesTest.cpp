// SDL's leftover cursor buffer files: only those this process maps are removed.
#include "platform/sdl/SdlSharedFiles.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/platform/TempFolder.h"

namespace Varn {
namespace {

TEST(SharedFiles, OnlyTheFilesThisProcessMapsAreRemoved) {
    test::TempFolder folder;
    const std::string root = folder.path.string();
    for (const char* name : {"sdl-shared-ours01", "sdl-shared-theirs", "other-file"})
        std::ofstream(folder.path / name) << "x";
    const std::string maps = "7f0000-7f1000 rw-s 00000000 00:2a 17 " + root +
                             "/sdl-shared-ours01\n" + "7f1000-7f2000 rw-s 00000000 00:2a 18 " +
                             root + "/sdl-shared-gone11 (deleted)\n" +
                             "7f2000-7f3000 rw-s 00000000 00:2a 19 /elsewhere/sdl-shared-theirs\n" +
                             "7f3000-7f4000 rw-s 00000000 00:2a 20 " + root + "/other-file\n";
    EXPECT_EQ(RemoveMappedSharedFiles(root, maps), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.path / "sdl-shared-ours01"));
    EXPECT_TRUE(std::filesystem::exists(folder.path / "sdl-shared-theirs"));
    EXPECT_TRUE(std::filesystem::exists(folder.path / "other-file"));
}

}  // namespace
}  // namespace Varn
