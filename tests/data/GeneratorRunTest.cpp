// Running the generator: two runs give identical bytes, the contact sheet is
// written on request, and the difficulty table reads as the game reads it.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/data/GameDataReaders.h"

extern char** environ;

namespace gemlode_data_test {
namespace {

namespace fs = std::filesystem;

int RunGenerator(std::vector<std::string> args) {
    static char program[] = GEMLODE_DATAGEN;
    std::vector<char*> argv{program};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The generator's leak-freedom is not what these tests check; font library
    // caches must not fail a sanitizer run.
    std::vector<std::string> env = {"ASAN_OPTIONS=detect_leaks=0"};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("ASAN_OPTIONS=", 0) != 0) env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path TempDir(const char* tag) {
    fs::path p = fs::temp_directory_path() /
                 (std::string("gemlode_data_") + tag + "_" + std::to_string(::getpid()));
    fs::remove_all(p);
    return p;
}

TEST(DataGenerator, TwoRunsWriteIdenticalBytes) {
    fs::path a = TempDir("a"), b = TempDir("b");
    fs::path sheet = TempDir("sheet").string() + ".png";
    ASSERT_EQ(RunGenerator({"--contact-sheet", sheet.string(), a.string()}), 0);
    ASSERT_EQ(RunGenerator({b.string()}), 0);
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(a)) {
        if (!entry.is_regular_file()) continue;
        fs::path rel = fs::relative(entry.path(), a);
        ASSERT_TRUE(fs::exists(b / rel)) << rel;
        EXPECT_EQ(ReadFile(entry.path().string()), ReadFile((b / rel).string())) << rel;
        ++files;
    }
    EXPECT_GE(files, 37u + 20u + 3u + 6u);
    std::optional<Picture> contact = ReadPng(sheet.string());
    ASSERT_TRUE(contact);
    EXPECT_GE(contact->width, 1280);
    fs::remove_all(a);
    fs::remove_all(b);
    fs::remove(sheet);
}

TEST(DataGenerator, RefusesAMissingOutputFolderArgument) {
    EXPECT_EQ(RunGenerator({}), 2);
}

TEST(DataDifficultyTable, TwelveValuesGivePositiveTargets) {
    std::ifstream in(GameDir() + "/data/diff.txt");
    int n0 = 0, t0 = 0;
    double v[10];
    ASSERT_TRUE(in >> n0 >> v[0] >> v[1] >> v[2] >> t0 >> v[3] >> v[4] >> v[5] >> v[6] >> v[7] >>
                v[8] >> v[9]);
    std::string extra;
    EXPECT_FALSE(in >> extra) << "exactly twelve values";
    // Points needed and multipliers stay positive on every level (no zero range).
    for (int level = 0; level < 50; ++level) {
        double normalMultiplier = level * v[2] + v[1], timedMultiplier = level * v[5] + v[4];
        EXPECT_GT(normalMultiplier, 0);
        EXPECT_GT(timedMultiplier, 0);
        EXPECT_GE(static_cast<int>((n0 + level * v[0]) * normalMultiplier), 1);
        EXPECT_GE(static_cast<int>((t0 + level * v[3]) * timedMultiplier), 1);
    }
    EXPECT_GT(v[6], 0) << "timed mode drains";
    EXPECT_GE(v[8], 0);
}

}  // namespace
}  // namespace gemlode_data_test
