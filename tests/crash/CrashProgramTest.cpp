// Runs a program that crashes on purpose in each way and reads the report it leaves in its
// working folder. No screen: the report process leaves the report on stderr.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

#include "CrashRun.h"

namespace Varn::test {
namespace {

constexpr int kTimeoutMs = 60000;

struct CrashCase {
    const char* argument;
    const char* firstLine;  // how the first line starts
    const char* function;   // a frame naming it, with the program's source file
    bool appFacts = true;   // the application's facts were captured
};

constexpr const char* kAccess = "Exception: Access Violation (code 0xc0000005) at address ";

const CrashCase kCases[] = {
    {"null-write", kAccess, "CrashByNullWrite"},
    {"divide", "Exception: Integer Divide by Zero (code 0xc0000094) at address ", "CrashByDivide"},
    {"abort", "Unknown exception: (code 0xe0000006) at address ", "CrashByAbort"},
    {"illegal", "Exception: Illegal Instruction (code 0xc000001d) at address ",
     "CrashByIllegalInstruction"},
    {"breakpoint", "Exception: Breakpoint (code 0x80000003) at address ", "CrashByBreakpoint"},
    {"stack-overflow", "Exception: Stack Overflow (code 0xc00000fd) at address ",
     "CrashByRecursion"},
    {"thread", kAccess, "CrashByNullWrite"},
    {"thread-overflow", "Exception: Stack Overflow (code 0xc00000fd) at address ",
     "CrashByRecursion"},
    // The handler faults at the start of one of its steps: what was captured is reported.
    {"in-walk", kAccess, "CrashByNullWrite"},
    {"in-freeze", kAccess, "CrashByNullWrite"},
    {"in-app", kAccess, "CrashByNullWrite", false},
    {"in-handover", kAccess, "CrashByNullWrite"},
};

struct Crashed {
    RunResult run;
    std::string folder;
    std::string report;
};

Crashed RunCrash(const std::string& argument, bool unprivileged = false) {
    Crashed crashed;
    crashed.folder = MakeFolder("crash");
    crashed.run =
        RunProgram({CRASH_PROGRAM, argument}, crashed.folder, {}, unprivileged, kTimeoutMs);
    crashed.report = ReadText(crashed.folder + "/crash.txt");
    return crashed;
}

std::string Capture(const std::string& text, const std::string& pattern) {
    std::smatch match;
    if (!std::regex_search(text, match, std::regex(pattern))) return std::string();
    return match[1];
}

// A walked frame naming the function, with its line in the program's source.
std::regex FrameNaming(const std::string& function) {
    return std::regex("\n[0-9A-F]{16} [0-9A-F]{16} [^\n]*" + function +
                      "[^\n]*\nSource: [^\n]*CrashProgram\\.cpp:[0-9]+\n");
}

class CrashProgramTest : public ::testing::TestWithParam<CrashCase> {};

TEST_P(CrashProgramTest, ExitsWithThreeAndLeavesAFullReport) {
    const CrashCase& c = GetParam();
    Crashed crashed = RunCrash(c.argument);
    ASSERT_TRUE(crashed.run.exited) << crashed.run.output;
    EXPECT_EQ(3, crashed.run.exitCode) << crashed.run.output;
    const std::string& report = crashed.report;
    ASSERT_FALSE(report.empty()) << "no crash.txt\n" << crashed.run.output;

    EXPECT_EQ(0u, report.find(c.firstLine)) << report;
    std::string faultThread = Capture(report, "^[^\n]* in thread ([0-9A-F]+)\n");
    EXPECT_FALSE(faultThread.empty()) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("\nModule: [^\n]+\nLogical Address: "
                                                     "[0-9A-F]{4}:[0-9A-F]{16}\n\n")))
        << report;
    EXPECT_TRUE(std::regex_search(report, FrameNaming(c.function))) << report;
    EXPECT_TRUE(std::regex_search(
        report, std::regex("\nRAX:[0-9A-F]{16} RBX:[0-9A-F]{16} RCX:[0-9A-F]{16} "
                           "RDX:[0-9A-F]{16} RSI:[0-9A-F]{16} RDI:[0-9A-F]{16}\n"
                           "RIP:[0-9A-F]{16} RSP:[0-9A-F]{16}  RBP:[0-9A-F]{16}\n")))
        << report;
    EXPECT_TRUE(std::regex_search(report, std::regex("\nFlags:[0-9A-F]{16}\n\nKernel Ver: ")))
        << report;
    if (!c.appFacts) {
        EXPECT_EQ(std::string::npos, report.find("\nProduct: ")) << report;
        return;
    }
    EXPECT_TRUE(std::regex_search(report, std::regex("\nVideo Driver: headless\nAudio Driver: "
                                                     "headless\n\nProduct: Crash Test\n"
                                                     "Version: [0-9.]+\nTime Loaded: "
                                                     "00:00:[0-9]{2}\nFullscreen: No\n"
                                                     "Primary ThreadId: [0-9A-F]+\n\n$")))
        << report;
    std::string primary = Capture(report, "\nPrimary ThreadId: ([0-9A-F]+)\n");
    if (std::string(c.argument).starts_with("thread"))
        EXPECT_NE(primary, faultThread);
    else
        EXPECT_EQ(primary, faultThread);
    // The same report reached stderr.
    EXPECT_NE(std::string::npos, crashed.run.output.find(report.substr(0, report.find('\n'))));
}

INSTANTIATE_TEST_SUITE_P(EachWay, CrashProgramTest, ::testing::ValuesIn(kCases),
                         [](const auto& test) {
                             std::string name = test.param.argument;
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

TEST(CrashProgramFolderTest, ReadOnlyFolderStillExitsThreeWithoutCrashFile) {
    std::string folder = MakeFolder("crash-readonly");
    ASSERT_EQ(0, chmod(folder.c_str(), 0555));
    RunResult run = RunProgram({CRASH_PROGRAM, "null-write"}, folder, {}, true, kTimeoutMs);
    ASSERT_TRUE(run.exited) << run.output;
    EXPECT_EQ(3, run.exitCode) << run.output;
    EXPECT_FALSE(FileExists(folder + "/crash.txt"));
    EXPECT_NE(std::string::npos, run.output.find("Exception: Access Violation")) << run.output;
}

// Whatever word a jump to 0 leaves at the stack pointer, the caller and all up to main follow.
TEST(CrashProgramFolderTest, JumpToZeroWalksUpToMain) {
    const std::pair<const char*, const char*> cases[] = {{"jump-zero", "::CrashByJumpToZero\\("},
                                                         {"spin-jump-zero", "::Crash\\("}};
    for (const auto& [how, caller] : cases) {
        Crashed crashed = RunCrash(how);
        EXPECT_EQ(3, crashed.run.exitCode) << crashed.run.output;
        std::regex callerAfterZero(" 0000000000000000 [^\n]*\n\n[0-9A-F]{16} [0-9A-F]{16} [^\n]*" +
                                   std::string(caller));
        EXPECT_TRUE(std::regex_search(crashed.report, callerAfterZero)) << crashed.report;
        EXPECT_TRUE(std::regex_search(crashed.report, FrameNaming("main"))) << crashed.report;
    }
}

// A write folder that cannot be handed over gets no crash.txt elsewhere instead.
TEST(CrashProgramFolderTest, LostWriteFolderWritesNoCrashFileElsewhere) {
    std::string base = MakeFolder("crash-lost");
    std::string folder = base + "/writes";
    ASSERT_EQ(0, mkdir(folder.c_str(), 0777));
    RunResult run = RunProgram({CRASH_PROGRAM, "folder-lost", folder}, base, {}, false, kTimeoutMs);
    EXPECT_EQ(3, run.exitCode) << run.output;
    EXPECT_FALSE(FileExists(base + "/crash.txt"));
    EXPECT_NE(std::string::npos, run.output.find("its folder could not be opened")) << run.output;
}

// Also when stopping the other threads faults once.
TEST(CrashProgramFolderTest, FaultOnSecondThreadSavesAndOpensNothing) {
    for (const char* how : {"thread-play", "in-freeze+thread-play"}) {
        std::string folder = MakeFolder("crash-play");
        std::ofstream(folder + "/savegame.dat") << "the saved game";
        RunResult run = RunProgram({CRASH_PROGRAM, how}, folder, {}, false, kTimeoutMs);
        EXPECT_EQ(3, run.exitCode) << run.output;
        EXPECT_EQ("the saved game", ReadText(folder + "/savegame.dat")) << how;
        EXPECT_FALSE(FileExists(folder + "/browser-opened")) << how;
        EXPECT_TRUE(FileExists(folder + "/crash.txt")) << run.output;
    }
}

TEST(CrashProgramFolderTest, LongWriteFolderPathStillGetsTheReport) {
    std::string base = MakeFolder("crash-long");
    std::string folder = base;
    for (char level = 'a'; level < 'f'; ++level) {  // some 1300 bytes in all
        folder += "/" + std::string(250, level);
        ASSERT_EQ(0, mkdir(folder.c_str(), 0777));
    }
    RunResult run = RunProgram({CRASH_PROGRAM, "null-write", folder}, base, {}, false, kTimeoutMs);
    EXPECT_EQ(3, run.exitCode) << run.output;
    EXPECT_EQ(0u, ReadText(folder + "/crash.txt").find("Exception: Access Violation"))
        << run.output;
    EXPECT_FALSE(FileExists(folder.substr(0, folder.rfind('/')) + "/crash.txt"));
}

}  // namespace
}  // namespace Varn::test
