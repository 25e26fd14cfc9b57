// Kills a process at random moments while it rewrites the high-score file;
// afterwards the file must always hold exactly the old or the new tables. The
// moments come from a write measured on the machine at hand, so a slow build
// (a sanitizer, a loaded CI) shifts them instead of deciding the verdict.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// A writer whose standard output is a pipe: one byte comes through it per completed write.
struct Writer {
    pid_t pid = -1;
    int output = -1;
    std::chrono::steady_clock::time_point started;
};

Writer StartWriter(const std::string& path, const char* writes = nullptr) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return {};
    const std::string day = std::to_string(kDay);
    Writer writer;
    writer.started = std::chrono::steady_clock::now();
    writer.pid = ::fork();
    if (writer.pid == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        // Without a count, the null pointer ends the argument list one place early.
        ::execl(HIGHSCORE_WRITER, HIGHSCORE_WRITER, path.c_str(), day.c_str(), writes,
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[1]);
    if (writer.pid < 0)
        ::close(ends[0]);
    else
        writer.output = ends[0];
    return writer;
}

// Reads the pipe of a writer that has ended to its end: the writes it completed.
int CompletedWrites(int output) {
    int completed = 0;
    char bytes[4096];
    for (;;) {
        ssize_t got = ::read(output, bytes, sizeof(bytes));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        completed += int(got);
    }
    ::close(output);
    return completed;
}

// From the start of an unkilled writer to its first completed write (the median of three).
// Each of these writers must end by itself, leaving the new tables.
std::chrono::microseconds MeasureOneWrite(const std::string& path,
                                          const std::vector<uint8_t>& newBytes) {
    std::vector<std::chrono::microseconds> times;
    for (int run = 0; run < 3; ++run) {
        Writer writer = StartWriter(path, "1");
        EXPECT_GT(writer.pid, 0);
        if (writer.pid <= 0) return {};
        char byte = 0;
        ssize_t got = 0;
        while ((got = ::read(writer.output, &byte, 1)) < 0 && errno == EINTR) {
        }
        times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - writer.started));
        ::close(writer.output);
        int status = 0;
        EXPECT_EQ(::waitpid(writer.pid, &status, 0), writer.pid);
        EXPECT_TRUE(got == 1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "an unkilled writer failed, status " << status;
        EXPECT_EQ(ReadBytes(path), newBytes);
    }
    std::sort(times.begin(), times.end());
    return times[1];
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
    const std::string measured = (folder / "measured.dat").string();
    const std::vector<uint8_t> oldBytes = EncodeHighScores(KillTestOldTables(), kDay);
    const std::vector<uint8_t> newBytes = EncodeHighScores(KillTestNewTables(), kDay);
    ASSERT_TRUE(WriteHighScoreFile(path, KillTestOldTables(), kDay));

    // One writer killed at the given moment after its start: the file must hold the old or
    // the new tables.
    int afterCompletion = 0;
    auto killAt = [&](std::chrono::microseconds moment, int round) {
        Writer writer = StartWriter(path);
        ASSERT_GT(writer.pid, 0);
        std::this_thread::sleep_until(writer.started + moment);
        ::kill(writer.pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(writer.pid, &status, 0), writer.pid);
        const int completed = CompletedWrites(writer.output);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own, status " << status;
        std::vector<uint8_t> bytes = ReadBytes(path);
        bool isOld = bytes == oldBytes;
        bool isNew = bytes == newBytes;
        ASSERT_TRUE(isOld || isNew)
            << "round " << round << ", killed " << moment.count()
            << " us after its start: damaged file of " << bytes.size() << " bytes";
        if (completed > 0) ++afterCompletion;
        EXPECT_EQ(ReadHighScoreFile(path, kDay), isNew ? KillTestNewTables() : KillTestOldTables());
    };
    // Kill moments spread over 0 to 1.2 times a write measured just before on this machine.
    std::mt19937 random(7);
    int round = 0;
    auto killBatch = [&](int kills) {
        const std::chrono::microseconds write = MeasureOneWrite(measured, newBytes);
        std::uniform_int_distribution<long long> moment(0, write.count() * 6 / 5);
        for (int i = 0; i < kills && !::testing::Test::HasFailure(); ++i, ++round)
            killAt(std::chrono::microseconds(moment(random)), round);
    };
    killBatch(150);
    // A busy machine (a sanitizer build, a loaded CI) may have stretched every write past its
    // kill: more moments, from a fresh measurement, until a kill came after a completed write.
    for (int batch = 0; afterCompletion == 0 && batch < 30 && !::testing::Test::HasFailure();
         ++batch)
        killBatch(30);
    if (!::testing::Test::HasFailure()) {
        EXPECT_GT(afterCompletion, 0)
            << "no kill came after a completed write in " << round << " rounds";
    }
}

}  // namespace
}  // namespace Varn::test
