// SettingsTestFolder: a temporary config root for settings tests, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace Varn::test {

class SettingsTestFolder {
public:
    SettingsTestFolder() {
        std::random_device seedless;  // a unique folder name only
        root_ =
            std::filesystem::temp_directory_path() /
            ("gemlode-settings-test-" + std::to_string(seedless()) + std::to_string(seedless()));
        std::filesystem::create_directories(root_);
    }
    ~SettingsTestFolder() {
        std::error_code error;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(root_, error);
    }
    SettingsTestFolder(const SettingsTestFolder&) = delete;
    SettingsTestFolder& operator=(const SettingsTestFolder&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path GameFile() const {
        return root_ / "Zandrel" / "Gemlode" / "settings.conf";
    }

    std::string ReadGameFile() const {
        std::ifstream in(GameFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteGameFile(const std::string& content) const {
        std::filesystem::create_directories(GameFile().parent_path());
        std::ofstream(GameFile(), std::ios::binary) << content;
    }

private:
    std::filesystem::path root_;
};

}  // namespace Varn::test
