#include "framework/crash/CrashCodes.h"

#include <gtest/gtest.h>

#include <csignal>

namespace Varn {
namespace {

struct SignalCase {
    int signal;
    int code;
    uint64_t address;
    uint32_t expected;
};

constexpr uint64_t kStack = 0x7ffc00100000;

TEST(CrashCodesTest, EachFaultSignalMapsToItsExceptionCode) {
    const SignalCase cases[] = {
        {SIGSEGV, SEGV_MAPERR, 0, 0xC0000005},
        {SIGSEGV, SEGV_MAPERR, kStack - 8, 0xC00000FD},
        {SIGSEGV, SEGV_ACCERR, kStack - 4096, 0xC00000FD},
        {SIGSEGV, SEGV_ACCERR, kStack - 0x200000, 0xC0000005},
        {SIGBUS, BUS_ADRERR, 0x1000, 0xC0000006},
        {SIGILL, ILL_ILLOPN, 0, 0xC000001D},
        {SIGTRAP, TRAP_BRKPT, 0, 0x80000003},
        {SIGFPE, FPE_INTDIV, 0, 0xC0000094},
        {SIGFPE, FPE_INTOVF, 0, 0xC0000095},
        {SIGFPE, FPE_FLTDIV, 0, 0xC000008E},
        {SIGFPE, FPE_FLTOVF, 0, 0xC0000091},
        {SIGFPE, FPE_FLTUND, 0, 0xC0000093},
        {SIGFPE, FPE_FLTRES, 0, 0xC000008F},
        {SIGFPE, FPE_FLTINV, 0, 0xC0000090},
        {SIGFPE, FPE_FLTSUB, 0, 0xC000008C},
        {SIGABRT, 0, 0, 0xE0000006},
    };
    for (const SignalCase& c : cases)
        EXPECT_EQ(c.expected, ExceptionCodeFor(c.signal, c.code, c.address, kStack))
            << "signal " << c.signal << " code " << c.code;
}

TEST(CrashCodesTest, TableNamesKnownCodesOnly) {
    EXPECT_STREQ("Access Violation", ExceptionName(0xC0000005));
    EXPECT_STREQ("Wait 0", ExceptionName(0));
    EXPECT_STREQ("Ctrl+C Exit", ExceptionName(0xC000013A));
    EXPECT_EQ(nullptr, ExceptionName(0xE0000006));
    EXPECT_EQ(nullptr, ExceptionName(0xFFFFFFFF));
}

}  // namespace
}  // namespace Varn
