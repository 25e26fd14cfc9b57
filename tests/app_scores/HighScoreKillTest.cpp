// Kills a process at random moments while it rewrites the high-score file;
// afterwards the file must always hold exactly the old or the new tables.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/HighScoresFile.h"
#include "tests/app_scores/KillTestTables.h"

namespace Varn::test {
namespace {

constexpr int32_t kDay = 126 * 366 + 340;

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

pid_t StartWriter(const std::string& path) {
    std::string day = std::to_string(kDay);
    pid_t child = ::fork();
    if (child == 0) {
        ::execl(HIGHSCORE_WRITER, HIGHSCORE_WRITER, path.c_str(), day.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return child;
}

TEST(HighScoreKillTest, KilledWriterLeavesTheOldOrTheNewTables) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("gemlode_kill_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    // Removes the folder however the test ends.
    std::unique_ptr<const std::filesystem::path, void (*)(const std::filesystem::path*)> cleanup(
        &folder, [](const std::filesystem::path* p) { std::filesystem::remove_all(*p); });
    const std::string path = (folder / "hiscores.dat").string();
    const std::vector<uint8_t> oldBytes = EncodeHighScores(KillTestOldTables(), kDay);
    const std::vector<uint8_t> newBytes = EncodeHighScores(KillTestNewTables(), kDay);
    ASSERT_TRUE(WriteHighScoreFile(path, KillTestOldTables(), kDay));

    std::mt19937 random(7);
    std::uniform_int_distribution<int> delayMicroseconds(0, 25000);
    int endedNew = 0;
    const int kills = 150;
    for (int round = 0; round < kills; ++round) {
        pid_t writer = StartWriter(path);
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(writer, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own, status " << status;
        std::vector<uint8_t> bytes = ReadBytes(path);
        bool isOld = bytes == oldBytes;
        bool isNew = bytes == newBytes;
        ASSERT_TRUE(isOld || isNew)
            << "round " << round << ": damaged file of " << bytes.size() << " bytes";
        if (isNew) ++endedNew;
        EXPECT_EQ(ReadHighScoreFile(path, kDay), isNew ? KillTestNewTables() : KillTestOldTables());
    }
    // The kills did land while the writer was at work, not only before it began.
    EXPECT_GT(endedNew, 0);
}

}  // namespace
}  // namespace Varn::test
