// A temporary folder for one test, removed with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace Varn::test {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/gemlode-files-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path path;
};

}  // namespace Varn::test
