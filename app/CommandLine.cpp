// CommandLine: parsing the options (see header).
#include "app/CommandLine.h"

#include <charconv>

namespace Varn {

namespace {

std::optional<std::uint32_t> ParseSeed(const std::string& text) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::optional<int> ParseScale(const std::string& text) {
    std::optional<std::uint32_t> value = ParseSeed(text);
    if (!value || *value > 8) return std::nullopt;
    return int(*value);
}

// "--name VALUE" or "--name=VALUE": the value, or nullopt when it is missing.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       const std::string& name) {
    if (args[i] != name) return args[i].substr(name.size() + 1);
    if (i + 1 >= args.size()) return std::nullopt;
    return args[++i];
}

bool IsOption(const std::string& arg, const std::string& name) {
    return arg == name || arg.rfind(name + "=", 0) == 0;
}

CommandLine UsageError(std::string message) {
    CommandLine line;
    line.action = CommandLine::Action::kUsageError;
    line.error = std::move(message);
    return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::kHelp;
        } else if (arg == "--version") {
            if (line.action != CommandLine::Action::kHelp)
                line.action = CommandLine::Action::kVersion;
        } else if (arg == "--windowed" || arg == "--fullscreen") {
            const bool windowed = arg == "--windowed";
            if (line.windowed && *line.windowed != windowed)
                return UsageError("--windowed and --fullscreen exclude each other");
            line.windowed = windowed;
        } else if (IsOption(arg, "--scale")) {
            std::optional<std::string> value = OptionValue(args, i, "--scale");
            if (!value) return UsageError("option --scale needs a number");
            line.scale = ParseScale(*value);
            if (!line.scale) return UsageError("bad scale '" + *value + "' (0 to 8)");
        } else if (arg == "--seed" || arg.rfind("--seed=", 0) == 0) {
            std::string value;
            if (arg == "--seed") {
                if (i + 1 >= args.size()) return UsageError("option --seed needs a number");
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            line.seed = ParseSeed(value);
            if (!line.seed) return UsageError("bad seed '" + value + "' (0 to 4294967295)");
        } else {
            return UsageError("unknown option '" + arg + "'");
        }
    }
    return line;
}

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [OPTION]...\n"
           "Gemlode, a puzzle game: swap neighbouring gems to line up three or more.\n"
           "\n"
           "  --windowed      play in a window this time (the saved choice is kept)\n"
           "  --fullscreen    play full screen this time (the saved choice is kept)\n"
           "  --scale N       show the window N times as large this time (1 to 8, 0 for\n"
           "                  the largest that fits; the saved choice is kept)\n"
           "  --seed N        deal the first game from seed N (0 to 4294967295), to\n"
           "                  replay a board or report one\n"
           "  --help          show this help and exit\n"
           "  --version       show the version and exit\n";
}

}  // namespace Varn
