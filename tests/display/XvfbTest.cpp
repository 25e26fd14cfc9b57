// Real programs on the SDL backend under a virtual X server, in a 24-bit and a 16-bit screen:
// the display probe's presented frame must equal a screenshot taken from outside, pixel for
// pixel, and a click, a right click and a typed key sent with xdotool must reach its widget
// as MouseDown and KeyChar; the game itself must open its 640x480 window, draw, take input
// and end cleanly on SIGTERM. Skipped when Xvfb, xdotool or xwd is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "XTestSupport.h"

namespace Varn::XTest {
namespace {

constexpr int kWaitMs = 20000;

class XvfbTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xwd"})
            if (FindProgram(tool).empty()) GTEST_SKIP() << tool << " is not installed";
        folder = MakeTempFolder("xvfb-test");
        screen = std::make_unique<VirtualScreen>(800, 600, GetParam());
        ASSERT_TRUE(screen->Ready()) << "Xvfb did not start";
    }
    void TearDown() override {
        screen.reset();
        if (!folder.empty()) std::filesystem::remove_all(folder);
    }

    std::vector<std::string> ProgramEnv() const {
        return {screen->DisplayEnv(), "SDL_VIDEODRIVER=x11", "SDL_AUDIODRIVER=dummy",
                "HOME=" + folder, "XDG_CONFIG_HOME=" + folder + "/config"};
    }
    std::pair<int, std::string> X(const std::vector<std::string>& argv) {
        std::vector<std::string> full = argv;
        full[0] = FindProgram(argv[0]);
        return XTest::Run(full, {screen->DisplayEnv()});
    }
    // The id of the first window of that process whose name contains the text, waiting for it
    // to appear.
    std::string FindWindow(const std::string& name, const Process& owner) {
        std::string pid = std::to_string(owner.Pid());
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (std::chrono::steady_clock::now() < end) {
            auto [status, out] = X({"xdotool", "search", "--all", "--pid", pid, "--name", name});
            if (status == 0 && !out.empty()) return out.substr(0, out.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return std::string();
    }
    bool Shoot(const std::string& window, Screenshot& shot) {
        std::string path = folder + "/shot.xwd";
        auto [status, out] = X({"xwd", "-silent", "-id", window, "-out", path});
        return status == 0 && ReadXwd(path, shot);
    }

    std::string folder;
    std::unique_ptr<VirtualScreen> screen;
};

struct FrameDump {
    int width = 0, height = 0, bits = 0, pitch = 0;
    std::vector<unsigned char> rows;
    uint32_t At(int x, int y) const {
        const unsigned char* p = rows.data() + std::size_t(y) * pitch + std::size_t(x) * bits / 8;
        return bits == 16 ? uint32_t(p[0] | p[1] << 8)
                          : uint32_t(p[0] | p[1] << 8 | p[2] << 16);  // x8r8g8b8, top byte dropped
    }
};

bool ReadDump(const std::string& path, FrameDump& d) {
    std::ifstream in(path, std::ios::binary);
    if (!(in >> d.width >> d.height >> d.bits >> d.pitch)) return false;
    in.get();
    d.rows.resize(std::size_t(d.pitch) * d.height);
    in.read(reinterpret_cast<char*>(d.rows.data()), std::streamsize(d.rows.size()));
    return bool(in);
}

// Pixels where the screenshot differs from the presented frame (masked to the screen's
// channels), counted; the first difference is described.
int Differences(const FrameDump& frame, const Screenshot& shot, std::string& first) {
    uint32_t mask = shot.redMask | shot.greenMask | shot.blueMask;
    int count = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            uint32_t want = frame.At(x, y) & mask;
            uint32_t got = shot.At(x, y) & mask;
            if (want == got) continue;
            if (count++ == 0)
                first = "at " + std::to_string(x) + "," + std::to_string(y) + " presented " +
                        std::to_string(want) + " shown " + std::to_string(got);
        }
    return count;
}

TEST_P(XvfbTest, ProbeFrameMatchesScreenshotAndInputArrives) {
    std::string dump = folder + "/frame.bin";
    Process probe({DISPLAY_PROBE_PATH, dump}, ProgramEnv(), folder + "/probe.txt");
    ASSERT_TRUE(probe.Started());
    ASSERT_TRUE(probe.WaitForOutput("PRESENTED", kWaitMs)) << probe.Output();
    int depth = GetParam() == 16 ? 16 : 32;
    EXPECT_NE(probe.Output().find("PRESENTED " + std::to_string(depth)), std::string::npos);
    FrameDump frame;
    ASSERT_TRUE(ReadDump(dump, frame));
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    // The red band, as the fill writes it: 30 of 31 in 5-6-5, 254 in 8 bits.
    EXPECT_EQ(frame.At(10, 10), depth == 16 ? 30u << 11 : 254u << 16);

    std::string window = FindWindow("Display probe", probe);
    ASSERT_FALSE(window.empty());
    Screenshot shot;
    std::string first;
    int differences = -1;
    // The frame reaches the server a little after the program has presented it.
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (std::chrono::steady_clock::now() < end && differences != 0) {
        if (Shoot(window, shot) && shot.width == 640 && shot.height == 480)
            differences = Differences(frame, shot, first);
        if (differences != 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_EQ(shot.bitsPerPixel, depth);
    EXPECT_EQ(differences, 0) << first;

    // Keyboard focus follows the pointer here: keep it inside while typing.
    X({"xdotool", "mousemove", "--window", window, "100", "120"});
    X({"xdotool", "click", "1"});
    EXPECT_TRUE(probe.WaitForOutput("MouseDown 100 120 1", kWaitMs)) << probe.Output();
    X({"xdotool", "mousemove", "--window", window, "200", "50"});
    X({"xdotool", "click", "3"});
    EXPECT_TRUE(probe.WaitForOutput("MouseDown 200 50 -1", kWaitMs)) << probe.Output();
    X({"xdotool", "key", "a"});
    EXPECT_TRUE(probe.WaitForOutput("KeyChar 97", kWaitMs)) << probe.Output();
    X({"xdotool", "key", "ctrl+c"});
    EXPECT_TRUE(probe.WaitForOutput("KeyChar 3\n", kWaitMs)) << probe.Output();
    // A key with no place on the server's keyboard map is mapped by xdotool for the moment,
    // and the first press can race the map change: send it again until it arrives.
    bool arrived = false;
    for (int attempt = 0; attempt < 5 && !arrived; ++attempt) {
        X({"xdotool", "key", "eacute"});  // arrives as its Latin-1 byte
        arrived = probe.WaitForOutput("KeyChar 233", kWaitMs / 5);
    }
    EXPECT_TRUE(arrived) << probe.Output();
    EXPECT_EQ(probe.Output().find("KeyChar 99"), std::string::npos);  // no 'c' with Ctrl
    EXPECT_EQ(probe.Terminate(kWaitMs), 0) << probe.Output();
}

// The last "InClient n" report of the probe: '0', '1', or 0 when there is none yet.
char LastInClient(const std::string& output) {
    std::size_t at = output.rfind("InClient ");
    return at == std::string::npos ? 0 : output[at + 9];
}

// In full screen on the 800x600 screen the picture lies at (80, 60); the bars around it are
// outside the program for the pointer, as anything outside a window is.
TEST_P(XvfbTest, FullScreenLetterboxBarsAreOutsideTheProgram) {
    if (GetParam() != 24) GTEST_SKIP() << "one screen depth is enough";
    Process probe({DISPLAY_PROBE_PATH, folder + "/frame.bin"}, ProgramEnv(), folder + "/probe.txt");
    ASSERT_TRUE(probe.WaitForOutput("PRESENTED", kWaitMs)) << probe.Output();
    std::string window = FindWindow("Display probe", probe);
    ASSERT_FALSE(window.empty());
    X({"xdotool", "mousemove", "--window", window, "100", "120"});
    X({"xdotool", "key", "alt+Return"});
    ASSERT_TRUE(probe.WaitForOutput("Windowed 0", kWaitMs)) << probe.Output();
    auto waitFor = [&](char state) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (LastInClient(probe.Output()) != state && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return LastInClient(probe.Output()) == state;
    };
    X({"xdotool", "mousemove", "400", "300"});
    EXPECT_TRUE(waitFor('1')) << probe.Output();
    X({"xdotool", "mousemove", "20", "300"});  // the left bar
    EXPECT_TRUE(waitFor('0')) << probe.Output();
    X({"xdotool", "mousemove", "400", "580"});  // the bottom bar
    X({"xdotool", "mousemove", "400", "300"});
    EXPECT_TRUE(waitFor('1')) << probe.Output();
    X({"xdotool", "mousemove", "400", "580"});
    EXPECT_TRUE(waitFor('0')) << probe.Output();
    EXPECT_EQ(probe.Terminate(kWaitMs), 0) << probe.Output();
}

TEST_P(XvfbTest, GameOpensItsWindowDrawsTakesInputAndEndsCleanly) {
    std::string game = std::string(GEMLODE_GAME_DIR) + "/gemlode";
    if (access(game.c_str(), X_OK) != 0) GTEST_SKIP() << "the game is not built";
    if (!std::filesystem::exists(std::string(GEMLODE_GAME_DIR) + "/images"))
        GTEST_SKIP() << "the game data is not generated";
    Process gemlode({game}, ProgramEnv(), folder + "/game.txt");
    ASSERT_TRUE(gemlode.Started());
    std::string window = FindWindow("Gemlode", gemlode);
    ASSERT_FALSE(window.empty()) << gemlode.Output();
    auto [status, geometry] = X({"xdotool", "getwindowgeometry", window});
    EXPECT_NE(geometry.find("640x480"), std::string::npos) << geometry;
    // Something other than one flat colour appears once the first screen is drawn.
    bool drawn = false;
    Screenshot shot;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!drawn && std::chrono::steady_clock::now() < end) {
        if (Shoot(window, shot) && !shot.pixels.empty())
            for (uint32_t p : shot.pixels) drawn |= p != shot.pixels[0];
        if (!drawn) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(drawn);
    EXPECT_EQ(shot.bitsPerPixel, GetParam() == 16 ? 16 : 32);
    X({"xdotool", "mousemove", "--window", window, "320", "240"});
    X({"xdotool", "click", "1"});
    X({"xdotool", "key", "a"});
    EXPECT_TRUE(gemlode.Running()) << gemlode.Output();
    EXPECT_EQ(gemlode.Terminate(kWaitMs), 0) << gemlode.Output();
}

INSTANTIATE_TEST_SUITE_P(ScreenDepths, XvfbTest, ::testing::Values(24, 16),
                         [](const ::testing::TestParamInfo<int>& p) {
                             return "Depth" + std::to_string(p.param);
                         });

}  // namespace
}  // namespace Varn::XTest
