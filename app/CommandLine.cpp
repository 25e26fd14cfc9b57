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
           "  --seed N        deal the first game from seed N (0 to 4294967295), to\n"
           "                  replay a board or report one\n"
           "  --help          show this help and exit\n"
           "  --version       show the version and exit\n";
}

}  // namespace Varn
