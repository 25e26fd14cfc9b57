// Composes the crash report from the raw facts of a fault: the exception line, the module
// and logical address, the stack trace (walked with names when symbols are available, the
// frame chain otherwise), the registers, the system and driver lines and the
// application-information block. Line ends are "\n".
#pragma once

#include <string>

#include "framework/crash/CrashFacts.h"
#include "framework/crash/CrashSymbols.h"

namespace Varn {

std::string ComposeCrashReport(const CrashFacts& facts, CrashSymbols& symbols,
                               const std::string& kernel);

// "Linux 6.1.0-13-amd64 #1 SMP ... x86_64" from uname; "unknown" if it fails.
std::string KernelDescription();

}  // namespace Varn
