// The program's entry point: the command line, then one application object,
// Init, Run, Shutdown; the exit code is 1 after a fatal error.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/GameApp.h"
#include "platform/LargeBlocks.h"
#include "platform/Platform.h"

#ifndef GEMLODE_VERSION
#define GEMLODE_VERSION "0.0.0"
#endif

int main(int argc, char** argv) {
    Varn::GiveLargeBlocksOwnMappings();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Varn::CommandLine line = Varn::ParseCommandLine(args);
    switch (line.action) {
        case Varn::CommandLine::Action::kHelp:
            std::fputs(Varn::UsageText("gemlode").c_str(), stdout);
            return 0;
        case Varn::CommandLine::Action::kVersion:
            std::printf("Gemlode %s\n", GEMLODE_VERSION);
            return 0;
        case Varn::CommandLine::Action::kUsageError:
            std::fprintf(stderr, "gemlode: %s\n%s", line.error.c_str(),
                         Varn::UsageText("gemlode").c_str());
            return Varn::CommandLine::kUsageExitCode;
        case Varn::CommandLine::Action::kRun:
            break;
    }
    std::unique_ptr<Varn::Platform> platform = Varn::CreateSdlPlatform();
    auto app = Varn::CreateGameApp(platform.get(), line);
    app->Init();
    app->Run();
    app->Shutdown();
    const int code = app->exitCode;  // 1 after a fatal error
    app.reset();
    return code;
}
