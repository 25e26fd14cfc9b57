// Fuzz entry point for the settings file format: any text must parse or be refused
// without a crash, and whatever parses must survive formatting and parsing again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/SettingsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Varn::SettingsEntries entries;
    if (!Varn::ParseSettingsText(text, entries)) {
        if (!entries.empty()) std::abort();  // a refusal keeps nothing
        return 0;
    }
    Varn::SettingsEntries again;
    if (!Varn::ParseSettingsText(Varn::FormatSettingsText(entries), again) || again != entries) {
        std::abort();
    }
    return 0;
}
