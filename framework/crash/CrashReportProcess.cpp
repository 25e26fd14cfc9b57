// The report process: a fresh copy of the program started by the fault handler. It reads
// the raw facts and the crashed process's maps from standard input, composes the report,
// writes crash.txt, copies the report to the clipboard and shows the report window (or,
// without a screen, leaves the report on stderr). Each step is best effort: a folder that
// cannot be written, a clipboard that does not take the text or missing debug information
// only loses that item.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/crash/CrashFiles.h"
#include "framework/crash/CrashHandler.h"
#include "framework/crash/CrashReport.h"
#include "framework/crash/CrashWindow.h"
#include "platform/Platform.h"

namespace Varn {

namespace {

constexpr int kBadInputExitCode = 2;

std::string ReadAll(int fd) {
    std::string data;
    char buffer[8192];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof(buffer))) > 0 || (got < 0 && errno == EINTR))
        if (got > 0) data.append(buffer, size_t(got));
    return data;
}

bool ParseFacts(const std::string& input, CrashFacts& facts) {
    if (input.size() < sizeof(CrashFacts)) return false;
    std::memcpy(&facts, input.data(), sizeof(CrashFacts));
    if (facts.magic != kCrashFactsMagic || facts.size != sizeof(CrashFacts)) return false;
    if (facts.frameCount < 0 || facts.frameCount > kCrashMaxFrames) facts.frameCount = 0;
    return true;
}

// The handed-over write folder, only if the descriptor really is that folder: a hand-over
// that failed leaves whatever was there before. -1: none.
int HandedFolder(const CrashFacts& facts) {
    struct stat status {};
    if (facts.writeFolderFd != kCrashFolderDescriptor ||
        fstat(kCrashFolderDescriptor, &status) != 0 || !S_ISDIR(status.st_mode))
        return -1;
    bool same = uint64_t(status.st_dev) == facts.writeFolderDevice &&
                uint64_t(status.st_ino) == facts.writeFolderInode;
    return same ? kCrashFolderDescriptor : -1;
}

// Never in the working folder when the game had a folder of its own that could not be
// handed over.
void WriteReportFile(const CrashFacts& facts, const std::string& text) {
    bool elsewhere = facts.app.present && facts.app.hasWriteFolder;
    int folder = HandedFolder(facts);
    if (elsewhere && folder < 0)
        std::fputs("crash.txt could not be written: its folder could not be opened.\n", stderr);
    else if (!WriteCrashFile(folder, text))
        std::fputs("crash.txt could not be written.\n", stderr);
}

void Present(const std::string& report, bool withApplication) {
    std::unique_ptr<Platform> platform = CreateSdlPlatform();
    if (!platform->GetDesktop().Drivers().HasScreen()) return;
    if (!PresentCrashReport(*platform, report, withApplication))
        std::fputs("The crash report window could not be shown.\n", stderr);
}

}  // namespace

int RunCrashReportProcess() {
    // The crashed thread may have had signals blocked; the mask survives exec.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    std::string input = ReadAll(STDIN_FILENO);
    CrashFacts facts;
    if (!ParseFacts(input, facts)) {
        std::fputs("No crash facts on standard input: nothing to report.\n", stderr);
        return kBadInputExitCode;
    }
    std::unique_ptr<CrashSymbols> symbols = CreateDwarfSymbols(input.substr(sizeof(CrashFacts)));
    std::string report = ComposeCrashReport(facts, *symbols, KernelDescription());
    std::fputs(report.c_str(), stderr);
    std::fflush(stderr);
    WriteReportFile(facts, report + "\n");
    Present(report, facts.app.present != 0);
    return kCrashExitCode;
}

}  // namespace Varn
