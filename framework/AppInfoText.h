// The application-information block of the crash report, shared by VarnApp::GetAppInfoText
// and the report process (which gets the values as raw facts).
#pragma once

#include <cstdint>
#include <string>

namespace Varn {

// Five lines: Product, Version, Time Loaded (hh:mm:ss of whole seconds), Fullscreen, Primary
// ThreadId (hex), each ended by "\n".
std::string FormatAppInfoText(const std::string& product, const std::string& version,
                              int64_t loadedMs, bool windowed, uint32_t primaryThreadId);

}  // namespace Varn
