// CommandLine: the options of the game's command line.
//   --help            usage on stdout, exit 0
//   --version         "Gemlode <version>" on stdout, exit 0
//   --windowed        this run in a window (the saved choice is kept)
//   --fullscreen      this run full screen (the saved choice is kept)
//   --scale N         this run's window scale: 0 automatic, 1 ... 8 (the saved choice is
//                     kept); also --scale=N
//   --seed N          the first game is dealt from seed N (0 ... 4294967295), so a
//                     board can be replayed or reported; also --seed=N
// --windowed and --fullscreen together are a usage error. Anything else (an unknown
// option, a missing or bad number, a plain argument) is a usage error: the
// message and the usage go to stderr and the program exits with code 2.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Varn {

struct CommandLine {
    enum class Action { kRun, kHelp, kVersion, kUsageError };

    Action action = Action::kRun;
    std::optional<bool> windowed;
    std::optional<std::uint32_t> seed;
    std::optional<int> scale;
    std::string error;  // for kUsageError

    static constexpr int kUsageExitCode = 2;
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText(const std::string& programName);

}  // namespace Varn
