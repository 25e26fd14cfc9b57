// Fuzz entry point for the settings file format: any text must parse or be refused
// without a crash; whatever parses must format into text that parses again, and
// formatting is stable from then on (the first write may convert or cut values).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/SettingsFormat.h"
#include "framework/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Varn::SettingsEntries entries;
    if (!Varn::ParseSettingsText(text, "Gemlode", entries)) {
        if (!entries.empty()) std::abort();  // a refusal keeps nothing
        return 0;
    }
    const std::string written = Varn::FormatSettingsText(entries, "Gemlode");
    Varn::SettingsEntries again;
    if (!Varn::ParseSettingsText(written, "Gemlode", again)) std::abort();
    if (Varn::FormatSettingsText(again, "Gemlode") != written) std::abort();
    return 0;
}
