// FontMatch: one fontconfig query per call against a configuration loaded once per process
// and freed at exit (so leak checkers see nothing left over). Matching copies the file
// name out, so no fontconfig object outlives a call.
#include "graphics/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>

namespace Varn {

namespace {

std::string FamilyFor(const std::string& faceName) {
    std::string lower = faceName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower == "sansserif" || lower.empty()) return "sans-serif";
    if (lower == "serif") return "serif";
    if (lower == "monospaced") return "monospace";
    return faceName;
}

// The process's fontconfig configuration, loaded on first use (thread-safe through the
// function-local static) and destroyed at exit.
class Configuration {
public:
    Configuration() : config(FcInitLoadConfigAndFonts()) {}
    ~Configuration() {
        if (config) FcConfigDestroy(config);
    }
    Configuration(const Configuration&) = delete;
    Configuration& operator=(const Configuration&) = delete;
    FcConfig* Get() const { return config; }

private:
    FcConfig* config;
};

FcConfig* SharedConfiguration() {
    static Configuration configuration;
    return configuration.Get();
}

}  // namespace

FontFile MatchFont(const std::string& faceName, bool bold, bool italic) {
    FontFile result;
    FcConfig* config = SharedConfiguration();
    if (!config) return result;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return result;
    std::string family = FamilyFor(faceName);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &matchResult);
    FcPatternDestroy(pattern);
    if (!match) return result;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
        result.path = reinterpret_cast<const char*>(file);
    int value = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &value) == FcResultMatch) result.index = value;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &value) == FcResultMatch)
        result.isBold = value >= FC_WEIGHT_BOLD;
    if (FcPatternGetInteger(match, FC_SLANT, 0, &value) == FcResultMatch)
        result.isItalic = value != FC_SLANT_ROMAN;
    FcPatternDestroy(match);
    return result;
}

}  // namespace Varn
