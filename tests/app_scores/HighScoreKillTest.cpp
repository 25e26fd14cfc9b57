// Kills a process at random moments while it rewrites the high-score file;
// afterwards the file must always hold exactly the old or the new tables.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

    // One writer killed after the given delay: the file must hold the old or the new tables.
    int endedNew = 0;
    auto killAfter = [&](std::chrono::microseconds delay, int round) {
        pid_t writer = StartWriter(path);
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(delay);
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
    };
    std::mt19937 random(7);
    std::uniform_int_distribution<int> delayMicroseconds(0, 25000);
    const int kills = 150;
    for (int round = 0; round < kills && !::testing::Test::HasFatalFailure(); ++round)
        killAfter(std::chrono::microseconds(delayMicroseconds(random)), round);
    // On a slow machine (a sanitizer build, a busy CI) no kill may have come after the write:
    // longer delays, not a failure, until one does, so the check above saw both outcomes.
    std::chrono::microseconds delay(50000);
    for (int round = kills; endedNew == 0 && round < kills + 12; ++round) {
        killAfter(delay, round);
        if (::testing::Test::HasFatalFailure()) return;
        delay = std::min(delay * 2, std::chrono::microseconds(3000000));
    }
    EXPECT_GT(endedNew, 0);
}

}  // namespace
}  // namespace Varn::test
