// A program folder of its own for each test application. Test processes run side
// by side, and the game holds a lock on the folder it writes to: two applications
// sharing one (the test's working folder) would take each other for a second copy.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/GameFolders.h"

namespace Varn::test {

class PrivateProgramFolder {
public:
    PrivateProgramFolder() {
        char pattern[] = "/tmp/gemlode-test-XXXXXX";
        if (const char* made = mkdtemp(pattern)) folder = made;
        // No game data here: the marker keeps the test's files in this folder.
        if (!folder.empty()) std::ofstream(folder / kPortableMarker) << "";
    }
    ~PrivateProgramFolder() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
    PrivateProgramFolder(const PrivateProgramFolder&) = delete;
    PrivateProgramFolder& operator=(const PrivateProgramFolder&) = delete;

    FolderInputs Apply(FolderInputs inputs) const {
        inputs.programPath = (folder / "gemlode").string();
        return inputs;
    }

    std::filesystem::path folder;
};

}  // namespace Varn::test
