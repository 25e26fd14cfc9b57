// The SDL backend's browser opener, with a stand-in xdg-open found first on PATH: the URL
// reaches it as one argument, untouched by any shell, and a failing opener is reported
// without the caller ever waiting for it; a start that throws is a failed open.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "platform/sdl/SdlUrlOpener.h"
#include "tests/platform/SystemFaults.h"

namespace Varn {
namespace {

namespace fs = std::filesystem;

class BrowserOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/gemlode-opener-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        oldPath = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        platform = CreateSdlPlatform();
    }
    void TearDown() override {
        platform.reset();
        setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(folder);
    }
    // A stand-in opener: writes its process id and its first argument, then exits with the code.
    void WriteOpener(int exitCode) {
        fs::path script = folder / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\ncd '" << folder.string() << "' || exit 9\n"
                              << "printf '%s' \"$1\" > argument.tmp\nmv argument.tmp argument\n"
                              << "printf '%s' \"$$\" > pid.tmp\nmv pid.tmp pid\n"
                              << "exit " << exitCode << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }
    // Waits until the opener has written its process id and then been reaped (a zombie
    // keeps its /proc entry).
    bool OpenerReaped() {
        if (!Eventually([&] { return fs::exists(folder / "pid"); })) return false;
        std::string pid = Read("pid");
        return Eventually([&] { return !fs::exists("/proc/" + pid); });
    }
    // Polls (real time, up to 10 s) until the condition holds.
    template <typename Condition>
    bool Eventually(Condition condition) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    std::string Read(const char* name) {
        std::ifstream in(folder / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path folder;
    std::string oldPath;
    std::unique_ptr<Platform> platform;
};

TEST_F(BrowserOpenerTest, FailingOpenerIsReportedAndTheUrlArrivesAsOneArgument) {
    WriteOpener(3);
    const std::string url = "http://example.invalid/a b;exit 0 $(id) '\"";
    Desktop& desktop = platform->GetDesktop();
    ASSERT_TRUE(desktop.OpenUrl(url));
    EXPECT_TRUE(Eventually([&] { return desktop.UrlOpenerFailed(); }));
    EXPECT_TRUE(OpenerReaped());
    EXPECT_EQ(Read("argument"), url);
}

TEST_F(BrowserOpenerTest, OpenerThatSucceedsIsReapedAndNotAFailure) {
    WriteOpener(0);
    Desktop& desktop = platform->GetDesktop();
    ASSERT_TRUE(desktop.OpenUrl("http://example.invalid/"));
    ASSERT_TRUE(OpenerReaped());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // its outcome is recorded
    EXPECT_FALSE(desktop.UrlOpenerFailed());
}

TEST_F(BrowserOpenerTest, MissingOpenerFailsToStart) {
    setenv("PATH", folder.string().c_str(), 1);  // no xdg-open anywhere on it
    EXPECT_FALSE(platform->GetDesktop().OpenUrl("http://example.invalid/"));
}

TEST_F(BrowserOpenerTest, NoThreadToWaitForTheOpenerIsAFailedOpenThatStartsNothing) {
    WriteOpener(0);
    {
        test::NoNewThreads none;
        EXPECT_FALSE(platform->GetDesktop().OpenUrl("http://example.invalid/"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(folder / "pid"));
}

TEST(UrlOpenerTest, StartThatThrowsIsAFailedOpen) {
    UrlOpener opener([](const std::string&) -> pid_t { throw std::runtime_error("no memory"); });
    EXPECT_FALSE(opener.Open("http://example.invalid/"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the waiting thread ends
    EXPECT_FALSE(opener.LatestFailed());
}

}  // namespace
}  // namespace Varn
