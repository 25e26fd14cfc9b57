// SDL's leftover cursor buffer files: only those this process maps are removed.
#include "platform/sdl/SdlSharedFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <sstream>

#include "tests/platform/TempFolder.h"

namespace Varn {
namespace {

// Only the first is ours: then another inode, another path, a removed file, a file not SDL's.
TEST(SharedFiles, OnlyTheFilesThisProcessMapsAreRemoved) {
    test::TempFolder folder;
    const std::string root = folder.path.string();
    const struct {
        const char* name;
        std::string shown;  // the path on the maps line
        int inodeShift;
    } cases[] = {{"sdl-shared-ours01", root + "/sdl-shared-ours01", 0},
                 {"sdl-shared-reused", root + "/sdl-shared-reused", 1},
                 {"sdl-shared-inside", "/elsewhere" + root + "/sdl-shared-inside", 0},
                 {"sdl-shared-gone11", root + "/sdl-shared-gone11 (deleted)", 0},
                 {"other-file", root + "/other-file", 0}};
    std::ostringstream maps;
    for (const auto& c : cases) {
        std::ofstream(folder.path / c.name) << "x";
        struct stat st {};
        stat((folder.path / c.name).c_str(), &st);
        maps << "7f0000-7f1000 rw-s 00000000 " << std::hex << major(st.st_dev) << ":"
             << minor(st.st_dev) << std::dec << " " << st.st_ino + c.inodeShift << "  " << c.shown
             << "\n7f1000-7f2000 rw-p 00000000 00:00 0 \n";  // and an anonymous mapping
    }
    EXPECT_EQ(RemoveMappedSharedFiles(root, maps.str()), 1);
    for (const auto& c : cases)
        EXPECT_EQ(std::filesystem::exists(folder.path / c.name), &c != cases) << c.name;
}

}  // namespace
}  // namespace Varn
