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

// A maps line for `file`, naming it `shown`, with its device and its inode moved by `shift`.
std::string MapsLine(const std::filesystem::path& file, const std::string& shown, int shift) {
    struct stat st {};
    stat(file.c_str(), &st);
    std::ostringstream line;
    line << "7f0000-7f1000 rw-s 00000000 " << std::hex << major(st.st_dev) << ":"
         << minor(st.st_dev) << std::dec << " " << st.st_ino + shift << "    " << shown << "\n";
    return line.str();
}

TEST(SharedFiles, OnlyTheFilesThisProcessMapsAreRemoved) {
    test::TempFolder folder;
    const std::string root = folder.path.string();
    struct Case {
        const char* name;
        std::string shown;  // the path on the maps line
        int shift;
        bool removed;
    } cases[] = {{"sdl-shared-ours01", root + "/sdl-shared-ours01", 0, true},
                 {"sdl-shared-reused", root + "/sdl-shared-reused", 1, false},
                 {"sdl-shared-inside", "/elsewhere" + root + "/sdl-shared-inside", 0, false},
                 {"sdl-shared-gone11", root + "/sdl-shared-gone11 (deleted)", 0, false},
                 {"other-file", root + "/other-file", 0, false}};
    std::string maps;
    for (const Case& c : cases) {
        std::ofstream(folder.path / c.name) << "x";
        maps += MapsLine(folder.path / c.name, c.shown, c.shift);
    }
    EXPECT_EQ(RemoveMappedSharedFiles(root, maps), 1);
    for (const Case& c : cases)
        EXPECT_EQ(std::filesystem::exists(folder.path / c.name), !c.removed) << c.name;
}

}  // namespace
}  // namespace Varn
