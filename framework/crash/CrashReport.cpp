#include "framework/crash/CrashReport.h"

#include <sys/utsname.h>

#include <cstdarg>
#include <cstdio>

#include "framework/AppInfoText.h"
#include "framework/crash/CrashCodes.h"

namespace Varn {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

using ull = unsigned long long;

std::string ExceptionLine(const CrashFacts& facts) {
    ull address = facts.registers[kRegRip];
    if (const char* name = ExceptionName(facts.exceptionCode))
        return Format("Exception: %s (code 0x%x) at address %016llX in thread %X\n", name,
                      facts.exceptionCode, address, facts.threadId);
    return Format("Unknown exception: (code 0x%x) at address %016llX in thread %X\n",
                  facts.exceptionCode, address, facts.threadId);
}

std::string ModuleLines(const CrashFacts& facts, CrashSymbols& symbols) {
    CrashLocation at = symbols.Locate(facts.registers[kRegRip]);
    return "Module: " + at.module + "\n" +
           Format("Logical Address: %04X:%016llX\n", at.section, ull(at.offset)) + "\n";
}

// Arguments travel in registers on x86-64, so a frame has no stored parameters to show; a
// frame of code with debug information shows its source line in their place.
std::string WalkedFrame(const CrashFacts& facts, int index, CrashSymbols& symbols) {
    ull pc = facts.framePc[index];
    ull frame = facts.frameSp[index];
    CrashFrameInfo info = symbols.Describe(pc, index > 0);
    std::string text;
    if (!info.function.empty())
        text = Format("%016llX %016llX ", frame, pc) + info.function +
               Format("+%llX\n", ull(info.displacement));
    else
        text = Format("%016llX %016llX %04X:%016llX ", frame, pc, info.location.section,
                      ull(info.location.offset)) +
               info.location.module + "\n";
    if (!info.file.empty()) text += "Source: " + info.file + Format(":%d\n", info.line);
    return text + "\n";
}

std::string FrameChain(const CrashFacts& facts, CrashSymbols& symbols) {
    std::string text;
    for (int i = 0; i < facts.frameCount; ++i) {
        CrashLocation at = symbols.Locate(facts.framePc[i]);
        text += Format("%016llX  %016llX  %04X:%016llX ", ull(facts.framePc[i]),
                       ull(facts.frameSp[i]), at.section, ull(at.offset)) +
                at.module + "\n";
    }
    return text;
}

std::string StackTrace(const CrashFacts& facts, CrashSymbols& symbols) {
    if (!symbols.Available()) return FrameChain(facts, symbols);
    std::string text;
    for (int i = 0; i < facts.frameCount; ++i) text += WalkedFrame(facts, i, symbols);
    return text;
}

std::string Registers(const CrashFacts& facts) {
    const uint64_t* r = facts.registers;
    return Format("RAX:%016llX RBX:%016llX RCX:%016llX RDX:%016llX RSI:%016llX RDI:%016llX\n",
                  ull(r[kRegRax]), ull(r[kRegRbx]), ull(r[kRegRcx]), ull(r[kRegRdx]),
                  ull(r[kRegRsi]), ull(r[kRegRdi])) +
           Format("RIP:%016llX RSP:%016llX  RBP:%016llX\n", ull(r[kRegRip]), ull(r[kRegRsp]),
                  ull(r[kRegRbp])) +
           Format("R8:%016llX R9:%016llX R10:%016llX R11:%016llX\n", ull(r[kRegR8]), ull(r[kRegR9]),
                  ull(r[kRegR10]), ull(r[kRegR11])) +
           Format("R12:%016llX R13:%016llX R14:%016llX R15:%016llX\n", ull(r[kRegR12]),
                  ull(r[kRegR13]), ull(r[kRegR14]), ull(r[kRegR15])) +
           Format("CS:%04llX SS:%04llX DS:%04llX ES:%04llX FS:%04llX GS:%04llX\n", ull(r[kRegCs]),
                  ull(r[kRegSs]), ull(r[kRegDs]), ull(r[kRegEs]), ull(r[kRegFs]), ull(r[kRegGs])) +
           Format("Flags:%016llX\n", ull(r[kRegFlags])) + "\n";
}

std::string Terminated(const char* text, size_t size) {
    size_t length = 0;
    while (length < size && text[length]) ++length;
    return std::string(text, length);
}

std::string DriverLine(const char* label, const CrashAppFacts& app, const char* driver,
                       size_t size) {
    std::string name = Terminated(driver, size);
    std::string library = Terminated(app.library, sizeof(app.library));
    std::string line = std::string(label) + (name.empty() ? "none" : name);
    if (!library.empty()) line += " (" + library + ")";
    return line + "\n";
}

std::string SystemLines(const CrashFacts& facts, const std::string& kernel) {
    std::string text = "Kernel Ver: " + kernel + "\n";
    const CrashAppFacts& app = facts.app;
    if (!app.present) return text;
    text += DriverLine("Video Driver: ", app, app.videoDriver, sizeof(app.videoDriver));
    text += DriverLine("Audio Driver: ", app, app.audioDriver, sizeof(app.audioDriver));
    return text;
}

std::string AppInfo(const CrashFacts& facts) {
    const CrashAppFacts& app = facts.app;
    if (!app.present) return std::string();
    return "\n" + FormatAppInfoText(Terminated(app.product, sizeof(app.product)),
                                    Terminated(app.version, sizeof(app.version)), app.loadedMs,
                                    app.windowed != 0, app.primaryThreadId);
}

}  // namespace

std::string ComposeCrashReport(const CrashFacts& facts, CrashSymbols& symbols,
                               const std::string& kernel) {
    return ExceptionLine(facts) + ModuleLines(facts, symbols) + StackTrace(facts, symbols) + "\n" +
           Registers(facts) + SystemLines(facts, kernel) + AppInfo(facts);
}

std::string KernelDescription() {
    utsname name{};
    if (uname(&name) != 0) return "unknown";
    return std::string(name.sysname) + " " + name.release + " " + name.version + " " + name.machine;
}

}  // namespace Varn
