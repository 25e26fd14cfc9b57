// CrashFacts: the raw facts of a fault. The signal handler fills one preallocated record
// (no allocation, no locks) and sends its bytes to the report process, followed by the text
// of /proc/self/maps so that addresses can be placed in their loaded objects there.
// Addresses are plain numbers: they mean something only against that maps text.
#pragma once

#include <cstdint>

namespace Varn {

constexpr uint32_t kCrashFactsMagic = 0x31464347;  // "GCF1"
constexpr int kCrashMaxFrames = 128;
// The exit code of a process that ends through the crash reporter.
constexpr int kCrashExitCode = 3;
// The descriptor of the write folder in the report process.
constexpr int kCrashFolderDescriptor = 3;

// x86-64 registers in the order the report prints them.
enum CrashRegister : int {
    kRegRax,
    kRegRbx,
    kRegRcx,
    kRegRdx,
    kRegRsi,
    kRegRdi,
    kRegRip,
    kRegRsp,
    kRegRbp,
    kRegR8,
    kRegR9,
    kRegR10,
    kRegR11,
    kRegR12,
    kRegR13,
    kRegR14,
    kRegR15,
    kRegCs,
    kRegSs,
    kRegDs,
    kRegEs,
    kRegFs,
    kRegGs,
    kRegFlags,
    kRegCount
};

// What the application object had to say, copied while it was healthy. Strings are
// always NUL-terminated inside their arrays.
struct CrashAppFacts {
    uint8_t present = 0;
    uint8_t windowed = 1;
    uint32_t primaryThreadId = 0;
    int64_t loadedMs = 0;  // time since the application object was made
    char product[128] = {};
    char version[64] = {};
    char videoDriver[64] = {};
    char audioDriver[64] = {};
    char library[64] = {};
    // The game writes its files in a folder of its own (the report process gets a
    // descriptor of it); 0: in the working folder.
    uint8_t hasWriteFolder = 0;
};

struct CrashFacts {
    uint32_t magic = kCrashFactsMagic;
    uint32_t size = sizeof(CrashFacts);
    int32_t signal = 0;
    int32_t signalCode = 0;
    uint32_t exceptionCode = 0;
    uint32_t threadId = 0;
    uint64_t faultAddress = 0;  // the data address of a memory fault (si_addr)
    uint64_t registers[kRegCount] = {};
    int32_t frameCount = 0;
    // Program counter and stack pointer of each frame, innermost first. The first is the
    // faulting instruction; the others are return addresses.
    uint64_t framePc[kCrashMaxFrames] = {};
    uint64_t frameSp[kCrashMaxFrames] = {};
    CrashAppFacts app;
    // kCrashFolderDescriptor when the write folder is handed to the report process; -1 if
    // not. The report process takes that descriptor only if it is the folder named by the
    // device and inode here: if the hand-over failed it may be anything.
    int32_t writeFolderFd = -1;
    uint64_t writeFolderDevice = 0;
    uint64_t writeFolderInode = 0;
};

}  // namespace Varn
