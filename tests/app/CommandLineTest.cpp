// The game's command-line options.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace Varn {
namespace {

using Action = CommandLine::Action;

struct Case {
    std::vector<std::string> args;
    Action action;
    std::optional<bool> windowed;
    std::optional<std::uint32_t> seed;
};

TEST(CommandLine, OptionsGiveTheirChoices) {
    const Case cases[] = {
        {{}, Action::kRun, std::nullopt, std::nullopt},
        {{"--help"}, Action::kHelp, std::nullopt, std::nullopt},
        {{"--version"}, Action::kVersion, std::nullopt, std::nullopt},
        {{"--version", "--help"}, Action::kHelp, std::nullopt, std::nullopt},
        {{"--windowed"}, Action::kRun, true, std::nullopt},
        {{"--fullscreen"}, Action::kRun, false, std::nullopt},
        {{"--windowed", "--windowed"}, Action::kRun, true, std::nullopt},
        {{"--seed", "42"}, Action::kRun, std::nullopt, 42u},
        {{"--seed=4294967295", "--fullscreen"}, Action::kRun, false, 4294967295u},
        {{"--seed", "0"}, Action::kRun, std::nullopt, 0u},
    };
    for (const Case& c : cases) {
        const CommandLine line = ParseCommandLine(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.windowed, c.windowed) << shown;
        EXPECT_EQ(line.seed, c.seed) << shown;
    }
}

TEST(CommandLine, ScaleGivesThisRunsWindowScale) {
    const std::pair<std::vector<std::string>, std::optional<int>> cases[] = {
        {{}, std::nullopt}, {{"--scale", "3"}, 3}, {{"--scale=8"}, 8}, {{"--scale", "0"}, 0}};
    for (const auto& [args, scale] : cases) EXPECT_EQ(ParseCommandLine(args).scale, scale);
}

TEST(CommandLine, AnythingElseIsAUsageError) {
    const std::vector<std::string> bad[] = {
        {"--bogus"},
        {"-x"},
        {"play"},
        {"--seed"},
        {"--seed", "-1"},
        {"--seed", "x"},
        {"--seed=4294967296"},
        {"--seed="},
        {"--seed", "12abc"},
        {"--help=yes"},
        {"--windowed", "extra"},
        {"--scale"},
        {"--scale", "9"},
        {"--scale=-1"},
        {"--scale", "two"},
        {"--fullscreen", "--windowed"},
        {"--windowed", "--seed", "3", "--fullscreen"},
    };
    for (const auto& args : bad) {
        const CommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.action, Action::kUsageError) << args.back();
        EXPECT_FALSE(line.error.empty()) << args.back();
    }
    EXPECT_EQ(CommandLine::kUsageExitCode, 2);
}

TEST(CommandLine, UsageNamesEveryOption) {
    const std::string usage = UsageText("gemlode");
    for (const char* option :
         {"--windowed", "--fullscreen", "--scale N", "--seed N", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace Varn
